#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "framework/SafeDataFolder.h"
#include "nts/KeptAssociation.h"

// The key-exchange results kept between runs, for both programs: one file
// for each NTS server in %ProgramData%\Movrane\nts, sealed by DPAPI for
// this machine (so the SYSTEM task and an administrator's dialog both read
// it), written whole to a file beside it and moved over the old. A file is
// read as untrusted and ignored unless it opens, unseals and reads whole,
// for the very server name it was made for.
class CNtsKeyStore {
public:
  // The store of this process: its folder made and checked at the first
  // use. Nothing is kept when the folder is not safe.
  static CNtsKeyStore& Get();

  // The folder as the first use found it, or why it is not used.
  const SafeDataFolder& Folder() const { return m_folder; }

  // What is kept for the server (its name as its key exchange used it),
  // when it is still fresh.
  std::optional<KeptAssociation> Take(const std::string& server) const;
  // Replaces what is kept for the server.
  void Keep(const KeptAssociation& kept) const;

  // The system clock in seconds since 1601 (UTC, as file times count), as
  // a key exchange's time is kept.
  static uint64_t Now();
  // Removes the folder with everything kept; true when it is gone.
  static bool Forget();

private:
  CNtsKeyStore();
  std::wstring FileOf(const std::string& server) const;

  SafeDataFolder m_folder;
};
