#pragma once
// The event interfaces Velmar fires through connection points; the library's sinks implement IDispatch
// and answer these dispatch ids.
#include "hostapi/interface_macros.h"

// Source: the version-5 application's connection point.
struct IVelApplicationEvents : IDispatch {
    enum : DISPID {
        DocumentEvent = 1,               // (document, 32-bit type), handled like OpenDocument
        OpenDocument = 3,                // (document, 32-bit type)
    };
};
VEL_IID(IVelApplicationEvents, "C7CB743A-C59D-4C27-8CB6-971C2A393F2F");

// Source: the connection point of a document's IVel5Document3D.
struct IVelDocumentEvents : IDispatch {
    enum : DISPID {
        DocumentGone = 2,
        BeginProcess = 11,               // (32-bit process code)
        EndProcess = 12,                 // (32-bit process code)
    };
};
VEL_IID(IVelDocumentEvents, "324C1A45-67AD-41FB-BE57-624F930646F1");

// Source: the property manager (IVel7PropertyManager) of a running panel.
struct IVelPropertyManagerEvents : IDispatch {
    enum : DISPID {
        ButtonClick = 1,
        ChangeControlValue = 2,
        ControlCommand = 3,
        ButtonUpdate = 4,
        ProcessActivate = 5,
        ProcessDeactivate = 6,
        CommandHelp = 7,
        SelectItem = 8,
        CheckItem = 9,
        ChangeActiveTab = 10,
        EditFocus = 11,
        UserMenuCommand = 12,
    };
};
VEL_IID(IVelPropertyManagerEvents, "5A89C538-E0DD-4C21-B3D1-3BF65EEB8C3E");
