"""The NTS codecs against an independent implementation: python3-cryptography's
AES-SIV (OpenSSL's) seals and opens what ours does, verifies the
authenticator of our NTS request, and seals replies that our reader must
believe, or not, as a server's.

NTS_CODEC_TOOL names the host program (tests/crosscheck/NtsCodecTool.cpp)."""
import os
import random
import struct
import subprocess
import unittest

from cryptography.exceptions import InvalidTag
from cryptography.hazmat.primitives.ciphers.aead import AESSIV

UNIQUE_ID_FIELD, COOKIE_FIELD, PLACEHOLDER_FIELD, AUTHENTICATOR_FIELD = 0x0104, 0x0204, 0x0304, 0x0404
HEADER_SIZE = 48


def hexed(data):
    return data.hex() or "."


def field(field_type, value):
    size = max(16, 4 + (len(value) + 3) // 4 * 4)
    return struct.pack(">HH", field_type, size) + value.ljust(size - 4, b"\0")


def fields(data):
    """(type, offset, value with padding) of each field after the header."""
    offset = HEADER_SIZE
    while offset < len(data):
        field_type, size = struct.unpack_from(">HH", data, offset)
        yield field_type, offset, data[offset + 4:offset + size]
        offset += size


class CodecTool:
    def __init__(self):
        self.process = subprocess.Popen([os.environ["NTS_CODEC_TOOL"]], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)

    def ask(self, *words):
        self.process.stdin.write(" ".join(words) + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().strip()

    def close(self):
        self.process.stdin.close()
        self.process.wait()


class NtsCrossCheck(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tool = CodecTool()
        cls.random = random.Random(8915)

    @classmethod
    def tearDownClass(cls):
        cls.tool.close()

    def bytes(self, size):
        return bytes(self.random.getrandbits(8) for _ in range(size))

    def test_seal_and_open_agree_with_openssl(self):
        for size in list(range(0, 34)) + [47, 48, 49, 100, 500]:
            key = self.bytes(32)
            headers = [self.bytes(self.random.choice([0, 1, 15, 16, 17, 48, 68])) for _ in range(size % 4)]
            plaintext = self.bytes(size)
            listed = ",".join(hexed(header) for header in headers) or "-"
            if headers or plaintext:  # OpenSSL's AES-SIV wants something to authenticate
                expected = AESSIV(key).encrypt(plaintext, headers or None)
                self.assertEqual(self.tool.ask("seal", key.hex(), listed, hexed(plaintext)), expected.hex(), size)
                self.assertEqual(self.tool.ask("open", key.hex(), listed, expected.hex()), hexed(plaintext), size)
                tampered = bytes([expected[0] ^ 0x80]) + expected[1:]
                self.assertEqual(self.tool.ask("open", key.hex(), listed, tampered.hex()), "fail", size)

    def test_request_authenticator_verifies_with_openssl(self):
        for cookie_size, placeholders in [(4, 0), (5, 2), (100, 7), (256, 2)]:
            unique_id, cookie, nonce, key = self.bytes(32), self.bytes(cookie_size), self.bytes(16), self.bytes(32)
            request = bytes.fromhex(self.tool.ask("request", unique_id.hex(), cookie.hex(), str(placeholders),
                                                  nonce.hex(), key.hex()))
            found = list(fields(request))
            self.assertEqual([f[0] for f in found],
                             [UNIQUE_ID_FIELD, COOKIE_FIELD] + [PLACEHOLDER_FIELD] * placeholders + [AUTHENTICATOR_FIELD])
            self.assertEqual(found[0][2], unique_id)
            self.assertEqual(found[1][2].rstrip(b"\0"), cookie.rstrip(b"\0"))
            _, offset, value = found[-1]
            nonce_size, sealed_size = struct.unpack_from(">HH", value)
            self.assertEqual(value[4:4 + nonce_size], nonce)
            sealed = value[4 + nonce_size:4 + nonce_size + sealed_size]
            self.assertEqual(AESSIV(key).decrypt(sealed, [request[:offset], nonce]), b"")

    def server_reply(self, unique_id, key, cookies, other_key=None):
        """A reply as a server seals it, with OpenSSL."""
        header = bytes([0x24, 2]) + bytes(HEADER_SIZE - 2)
        signed = header + field(UNIQUE_ID_FIELD, unique_id)
        nonce = self.bytes(16)
        plaintext = b"".join(field(COOKIE_FIELD, cookie) for cookie in cookies)
        sealed = AESSIV(other_key or key).encrypt(plaintext, [signed, nonce])
        value = struct.pack(">HH", len(nonce), len(sealed)) + nonce + sealed
        return signed + field(AUTHENTICATOR_FIELD, value)

    def test_replies_sealed_by_openssl_are_believed_and_give_their_cookies(self):
        unique_id, key = self.bytes(32), self.bytes(32)
        cookies = [self.bytes(100) for _ in range(3)]
        reply = self.server_reply(unique_id, key, cookies)
        self.assertEqual(self.tool.ask("reply", unique_id.hex(), key.hex(), reply.hex()),
                         "authentic " + ",".join(cookie.hex() for cookie in cookies))
        forged = self.server_reply(unique_id, key, cookies, other_key=self.bytes(32))
        self.assertEqual(self.tool.ask("reply", unique_id.hex(), key.hex(), forged.hex()), "notauthentic")


if __name__ == "__main__":
    unittest.main()
