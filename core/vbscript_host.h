#pragma once
// Runs one VBScript program in Windows' VBScript engine (Active Scripting) inside the host process, with
// host objects handed to the script as named items. The engine is made for one run and closed with the
// host object; scripts may not create objects of their own (CreateObject is refused).
#include "core/com.h"

#include <activscp.h>

#include <memory>
#include <string>

class VBScriptSite;

_COM_SMARTPTR_TYPEDEF(IActiveScript, __uuidof(IActiveScript));
_COM_SMARTPTR_TYPEDEF(IActiveScriptParse64, __uuidof(IActiveScriptParse64));

// A script that did not compile or failed while running: the engine's text with its line and position.
class VBScriptError {
public:
    explicit VBScriptError(std::wstring text) : text_(std::move(text)) {}
    const std::wstring& Text() const noexcept { return text_; }

private:
    std::wstring text_;
};

class VBScriptHost {
public:
    // Creates and initialises the engine; failures raise _com_error.
    VBScriptHost();
    // Closes the engine, then lets go of the site and the engine.
    ~VBScriptHost();
    VBScriptHost(const VBScriptHost&) = delete;
    VBScriptHost& operator=(const VBScriptHost&) = delete;

    // Makes object visible to the script under name (before Run). Failures raise _com_error.
    void AddNamedItem(const std::wstring& name, IDispatch* object);

    // Parses and runs the script. A script error throws VBScriptError, a failing engine call _com_error.
    void Run(const _bstr_t& script);

private:
    void Shutdown() noexcept;

    IActiveScriptPtr engine_;
    IActiveScriptParse64Ptr parser_;
    std::unique_ptr<VBScriptSite> site_;
};
