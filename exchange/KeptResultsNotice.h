#pragma once
#include <string>
#include <vector>

// What the log says, once, when the NTS key-exchange results cannot be
// kept between runs (the folder for them is not safe, CNtsKeyStore) and
// why, as a line; empty when they are kept.
std::wstring KeptResultsNotice(const std::vector<std::wstring>& messages);
