// Makes the tests' CA a root that the Wine prefix trusts, the way an
// administrator adds one on Windows: into the machine's Root store. Each
// session makes its CA anew; the earlier ones of the same name go.
//   trust_test_root ROOT.der
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<BYTE> ReadFile(const wchar_t* path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void RemoveEarlier(HCERTSTORE store, PCCERT_CONTEXT root) {
  while (PCCERT_CONTEXT earlier = ::CertFindCertificateInStore(
             store, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_NAME, &root->pCertInfo->Subject, nullptr)) {
    ::CertDeleteCertificateFromStore(earlier);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: trust_test_root ROOT.der\n", stderr);
    return 2;
  }
  const std::vector<BYTE> der = ReadFile(argv[1]);
  PCCERT_CONTEXT root =
      ::CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()));
  HCERTSTORE store = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (!root || !store) {
    std::fprintf(stderr, "trust_test_root: cannot read %ls or open the Root store (%lu)\n", argv[1],
                 ::GetLastError());
    return 1;
  }
  RemoveEarlier(store, root);
  // Wine writes a registry store back only when it is committed or its
  // last reference goes, which the system stores keep.
  const BOOL added = ::CertAddCertificateContextToStore(store, root, CERT_STORE_ADD_NEW, nullptr) &&
                     ::CertControlStore(store, 0, CERT_STORE_CTRL_COMMIT, nullptr);
  if (!added) std::fprintf(stderr, "trust_test_root: not added (%lu)\n", ::GetLastError());
  ::CertFreeCertificateContext(root);
  ::CertCloseStore(store, 0);
  return added ? 0 : 1;
}
