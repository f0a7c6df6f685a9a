#pragma once
// New instances of the maker's utility classes that part scripts receive, and what a script left in
// RAZadi, for the trace.
#include "core/trace_log.h"
#include "hostapi/utility_objects.h"

// Created with every class context (0x17), started with OleRun and queried for the interface; the
// creation's HRESULT is traced under `traceName` in the FAILED/SUCCEEDED form. Any failure raises
// _com_error.
IRAZadiPtr CreateRAZadi(TraceScope& scope, const wchar_t* traceName);
IItemListPtr CreateItemList(TraceScope& scope, const wchar_t* traceName);

// The text the part script collected in RAZadi, written as a line of the scope; a failure to read it is
// traced instead.
void TraceRAZadiText(IRAZadi* razadi, TraceScope& scope) noexcept;
