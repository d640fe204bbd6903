#pragma once
#include "exchange/OtherSetters.h"

// Where the other setters keep what is read of them: their services, and
// Windows Time's keys under HKEY_LOCAL_MACHINE.
constexpr wchar_t kWindowsTimeService[] = L"W32Time";
constexpr wchar_t kHyperVTimeService[] = L"vmictimesync";
constexpr wchar_t kVmwareToolsService[] = L"VMTools";
constexpr wchar_t kVirtualBoxService[] = L"VBoxService";
constexpr wchar_t kWindowsTimeParameters[] = L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters";
constexpr wchar_t kWindowsTimeConfig[] = L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\Config";
constexpr wchar_t kHyperVTimeProvider[] =
    L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\TimeProviders\\VMICTimeProvider";

// Reads what the service manager, the registry and the local security
// authority say of the other setters of this clock. It only reads: nothing
// of their configuration is changed, and none of their commands is run.
// What cannot be read counts as absent.
SetterConfiguration ReadSetterConfiguration();
