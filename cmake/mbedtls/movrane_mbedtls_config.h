/* mbedTLS for Movrane: a TLS 1.3 client for NTS key exchange, and AES with
 * CMAC for AES-SIV. Only what public NTS servers need: key exchange with
 * x25519, secp256r1 or secp384r1; the AES-GCM and ChaCha20-Poly1305 suites;
 * ECDSA P-256/P-384 and RSA (PSS, PKCS#1 v1.5) signatures. The library
 * parses the server's certificates but never judges them: Windows' chain
 * engine does. Its random numbers come from the system's generator through
 * mbedtls_psa_external_get_random, so it needs no entropy module, no time
 * and no files. */
#ifndef MOVRANE_MBEDTLS_CONFIG_H
#define MOVRANE_MBEDTLS_CONFIG_H

/* Platform (MinGW needs the platform layer for its snprintf) */
#define MBEDTLS_PLATFORM_C
#define MBEDTLS_HAVE_ASM
#define MBEDTLS_AESNI_C

/* Several key exchanges run at once, one on each thread: the library's
 * shared state (the PSA key slots and globals) is locked through the
 * thread library both builds link */
#define MBEDTLS_THREADING_C
#define MBEDTLS_THREADING_PTHREAD

/* Random numbers: the system's, through our hook */
#define MBEDTLS_PSA_CRYPTO_C
#define MBEDTLS_PSA_CRYPTO_EXTERNAL_RNG

/* Symmetric ciphers: the TLS 1.3 suites and AES-SIV's parts; the smaller
 * forms of the tables and hashes, since speed does not matter for one
 * handshake and a few packets. The AES tables are constants: built at run
 * time, they would be built by whichever of the key exchanges running at
 * once came first, unlocked, while the others read them */
#define MBEDTLS_AES_C
#define MBEDTLS_AES_FEWER_TABLES
#define MBEDTLS_AES_ROM_TABLES
#define MBEDTLS_GCM_C
#define MBEDTLS_CHACHA20_C
#define MBEDTLS_POLY1305_C
#define MBEDTLS_CHACHAPOLY_C
#define MBEDTLS_CIPHER_C
#define MBEDTLS_CIPHER_MODE_CTR
#define MBEDTLS_CMAC_C

/* Hashes: the suites' SHA-256 and SHA-384; SHA-1 and SHA-512 only so that
 * a chain holding certificates signed with them still parses */
#define MBEDTLS_MD_C
#define MBEDTLS_SHA1_C
#define MBEDTLS_SHA256_C
#define MBEDTLS_SHA256_SMALLER
#define MBEDTLS_SHA384_C
#define MBEDTLS_SHA512_C
#define MBEDTLS_SHA512_SMALLER
#define MBEDTLS_HKDF_C

/* Public keys: ECDHE, ECDSA and RSA signatures */
#define MBEDTLS_BIGNUM_C
#define MBEDTLS_ECP_C
/* The NIST curves' fast reduction: 3 KB for a quarter of the handshake's time */
#define MBEDTLS_ECP_NIST_OPTIM
#define MBEDTLS_ECP_DP_SECP256R1_ENABLED
#define MBEDTLS_ECP_DP_SECP384R1_ENABLED
#define MBEDTLS_ECP_DP_CURVE25519_ENABLED
#define MBEDTLS_ECDH_C
#define MBEDTLS_ECDSA_C
#define MBEDTLS_RSA_C
#define MBEDTLS_PKCS1_V15
#define MBEDTLS_PKCS1_V21
#define MBEDTLS_PK_C
#define MBEDTLS_PK_PARSE_C

/* Certificates: parsed, handed on as DER */
#define MBEDTLS_ASN1_PARSE_C
#define MBEDTLS_ASN1_WRITE_C
#define MBEDTLS_OID_C
#define MBEDTLS_X509_USE_C
#define MBEDTLS_X509_CRT_PARSE_C
#define MBEDTLS_X509_RSASSA_PSS_SUPPORT
#define MBEDTLS_X509_REMOVE_INFO

/* TLS: a 1.3 client with ALPN, SNI and the keying-material exporter */
#define MBEDTLS_SSL_TLS_C
#define MBEDTLS_SSL_CLI_C
#define MBEDTLS_SSL_PROTO_TLS1_3
#define MBEDTLS_SSL_TLS1_3_KEY_EXCHANGE_MODE_EPHEMERAL_ENABLED
#define MBEDTLS_SSL_TLS1_3_COMPATIBILITY_MODE
#define MBEDTLS_SSL_ALPN
#define MBEDTLS_SSL_SERVER_NAME_INDICATION
#define MBEDTLS_SSL_KEEP_PEER_CERTIFICATE
#define MBEDTLS_SSL_KEYING_MATERIAL_EXPORT
#define MBEDTLS_SSL_CIPHERSUITES                                            \
    MBEDTLS_TLS1_3_AES_128_GCM_SHA256, MBEDTLS_TLS1_3_AES_256_GCM_SHA384, \
    MBEDTLS_TLS1_3_CHACHA20_POLY1305_SHA256
/* A server's record may be a full 16 KB; ours are a few hundred bytes. */
#define MBEDTLS_SSL_OUT_CONTENT_LEN 4096

#endif
