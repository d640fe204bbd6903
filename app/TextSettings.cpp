#include "app/TextSettings.h"

#include "res/resource.h"

const LabelSetting kLabels[kLabelCount] = {
    {IDC_COMPARE, L"button", L"comp", L"Compare"},
    {IDC_SYNCHRONIZE, L"button", L"sync", L"Synchronize"},
    {IDC_ABOUT, L"button", L"about", L"About..."},
    {IDC_LOCAL_LABEL, L"static", L"localtime", L"Local time"},
    {IDC_SERVER_LABEL, L"static", L"servertime", L"Server time"},
};

const MessageSetting kLogMessages[kMessageCount] = {
    {L"1", L"Time server"},
    {L"2", L"Local time is faster than Server time"},
    {L"3", L"Local time is slower than Server time"},
    {L"4", L"Local time"},
    {L"5", L"Reserved"},
    {L"6", L"Failed to set the local time"},
    {L"7", L"No answer from the server within 5 seconds"},
    {L"8", L"The server's name could not be found"},
    {L"9", L"The network refused the request"},
    {L"10", L"The server's answer was refused"},
    {L"11", L"The local time was not changed"},
    {L"12", L"The server's time is more than an hour away from the local time. Set the local time to it?"},
    {L"13", L"New local time"},
    {L"14", L"Step"},
    {L"15", L"the server's clock is not synchronised"},
    {L"16", L"it speaks an unknown protocol version"},
    {L"17", L"it is not a server's answer"},
    {L"18", L"the server sent no valid stratum (a kiss-o'-death)"},
    {L"19", L"it carries no time"},
    {L"20", L"it was sent before it was received"},
    {L"21", L"the server held the request too long"},
    {L"22", L"its times give a negative round trip"},
    {L"23", L"the server's time is too uncertain"},
    {L"24", L"it was sent before the server's clock was last set"},
    {L"25", L"No answer from the name service"},
    {L"26", L"Answered from"},
};
