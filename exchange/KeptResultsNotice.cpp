#include "exchange/KeptResultsNotice.h"

#include "exchange/CompareLog.h"
#include "nts/NtsKeyStore.h"

std::wstring KeptResultsNotice(const std::vector<std::wstring>& messages) {
  const SafeDataFolder& folder = CNtsKeyStore::Get().Folder();
  switch (folder.problem) {
    case DataFolderProblem::None:
      return {};
    case DataFolderProblem::NotOwnedByAdministrators:
      return messages[kMessageKeptResultsOwner] + L" " + folder.owner + L"\r\n";
    default:
      return MessageLine(messages, kMessageKeptResultsUnsafe);
  }
}
