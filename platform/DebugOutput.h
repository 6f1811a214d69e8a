#pragma once
// Developer traces: written to stderr only when the environment variable CARVELLE_DEBUG is set.

#include "platform/WinTypes.h"

void OutputDebugStringW(LPCWSTR text);
void OutputDebugStringA(LPCSTR text);
