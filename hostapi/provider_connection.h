#pragma once
// The one reference-book provider of the process: created and connected before the first command that
// needs it, kept until the library is unloaded (the slot itself belongs to the module's lifetime), and
// told before each selection in which context it is used.
#include "core/com.h"
#include "hostapi/reference_book.h"

#include <string>

// The held provider, borrowed; null when there is none.
INMClient* NormsetProvider() noexcept;

// Releases a provider still held (one connected without the ready flag is disconnected first, its answer
// ignored), creates a new one (running, as INMClient) into the slot and forgets the set-up options sent
// so far. Returns the HRESULT; the slot is empty on failure.
HRESULT CreateNormsetProvider();

// Makes sure the provider exists and is connected. Throws the user's message as a wide string when it
// cannot be started or refuses the connection; the next call then tries again from the start.
void NormsetInitOnce();

// The provider of the work the library does on its own (Velmar's events): one is created and connected
// when the slot is empty, but the ready flag stays unset, so the next command still starts it its own
// way. False when there is none: it could not be created, or it refused the connection (it is then let
// go). Nothing is shown; failures of host calls raise _com_error.
bool EnsureProviderQuietly();

// Position 30: the user's choice. command, params and location go in and may come back changed; a null
// response means nothing was chosen. A null provider or a failing call raises _com_error.
INMResponsePtr ClientSelect(INMClient* provider, long& command, _bstr_t& params, _bstr_t& location, HWND owner);

// Position 8 of the response: its XML text. A null response raises E_POINTER.
_bstr_t ResponseXml(INMResponse* response);

// Position 31: the reference book's response for a part already placed, by its NM_ID and the caller's
// context name; null when the reference book has none. A null provider or a failing call raises.
INMResponsePtr ClientPlacedResponse(INMClient* provider, const std::wstring& id, const std::wstring& context);

// The arguments of the set-up call, in its order.
struct InstrumentOptions {
    _bstr_t instrument;
    _bstr_t hostVersion;
    _bstr_t documentId;
    _bstr_t containerId;
    _bstr_t extra;       // may be null
    long mask = 0;
};

// Position 29 from any path other than a controller's (the 2D hot points): the reference book's context
// changes, so what the controllers remember having sent is forgotten.
void SetInstrumentOptions(INMClient* provider, const InstrumentOptions& options);

// Whether this same provider was last set up by a controller with this pair (document type, mask).
bool InstrumentOptionsAlreadySent(INMClient* provider, long documentType, long mask);

// A controller's set-up: sent unless this same provider was last set up by this call with the same pair
// (document type, mask); the pair is remembered once the call succeeded. True when sent.
bool SetInstrumentOptionsOnChange(INMClient* provider, long documentType, const InstrumentOptions& options);

namespace testhooks {
// Forgets the ready flag and the set-up options sent (the slot itself: ClearModuleSlots / HoldProvider).
void ResetProviderConnection() noexcept;
} // namespace testhooks
