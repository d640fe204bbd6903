#include "nts/CertificateLibrary.h"

#include "framework/SystemFunction.h"

const CCertificateLibrary* CCertificateLibrary::Get() {
  static const CCertificateLibrary library;
  return library.Loaded() ? &library : nullptr;
}

CCertificateLibrary::CCertificateLibrary() {
  const HMODULE crypt32 = LoadFromSystemDirectory(L"crypt32.dll");
  if (!crypt32) return;
  CertOpenStore = SystemFunction<decltype(CertOpenStore)>(crypt32, "CertOpenStore");
  CertCloseStore = SystemFunction<decltype(CertCloseStore)>(crypt32, "CertCloseStore");
  CertAddEncodedCertificateToStore =
      SystemFunction<decltype(CertAddEncodedCertificateToStore)>(crypt32, "CertAddEncodedCertificateToStore");
  CertFreeCertificateContext =
      SystemFunction<decltype(CertFreeCertificateContext)>(crypt32, "CertFreeCertificateContext");
  CertGetCertificateChain = SystemFunction<decltype(CertGetCertificateChain)>(crypt32, "CertGetCertificateChain");
  CertVerifyCertificateChainPolicy =
      SystemFunction<decltype(CertVerifyCertificateChainPolicy)>(crypt32, "CertVerifyCertificateChainPolicy");
  CertFreeCertificateChain = SystemFunction<decltype(CertFreeCertificateChain)>(crypt32, "CertFreeCertificateChain");
  CryptProtectData = SystemFunction<decltype(CryptProtectData)>(crypt32, "CryptProtectData");
  CryptUnprotectData = SystemFunction<decltype(CryptUnprotectData)>(crypt32, "CryptUnprotectData");
}

bool CCertificateLibrary::Loaded() const {
  return CertOpenStore && CertCloseStore && CertAddEncodedCertificateToStore && CertFreeCertificateContext &&
         CertGetCertificateChain && CertVerifyCertificateChainPolicy && CertFreeCertificateChain &&
         CryptProtectData && CryptUnprotectData;
}
