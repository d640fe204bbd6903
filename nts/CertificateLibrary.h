#pragma once
#include <windows.h>
#include <wincrypt.h>

// The calls of the system's certificate library (crypt32) that check a
// server's certificate, and those that seal what is kept between runs for
// this machine (DPAPI). It is not one of the DLLs the system always takes
// from its own directory, so it is loaded from there by full path, at the
// first check, and stays loaded until the process ends.
class CCertificateLibrary {
public:
  // The library; null when it cannot be loaded.
  static const CCertificateLibrary* Get();

  decltype(&::CertOpenStore) CertOpenStore = nullptr;
  decltype(&::CertCloseStore) CertCloseStore = nullptr;
  decltype(&::CertAddEncodedCertificateToStore) CertAddEncodedCertificateToStore = nullptr;
  decltype(&::CertFreeCertificateContext) CertFreeCertificateContext = nullptr;
  decltype(&::CertGetCertificateChain) CertGetCertificateChain = nullptr;
  decltype(&::CertVerifyCertificateChainPolicy) CertVerifyCertificateChainPolicy = nullptr;
  decltype(&::CertFreeCertificateChain) CertFreeCertificateChain = nullptr;
  decltype(&::CryptProtectData) CryptProtectData = nullptr;
  decltype(&::CryptUnprotectData) CryptUnprotectData = nullptr;

private:
  CCertificateLibrary();
  bool Loaded() const;
};
