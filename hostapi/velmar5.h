#pragma once
// Velmar's version-5 automation interfaces. They are plain dispatch interfaces: every member is a
// dispatch id called through IDispatch::Invoke (hostapi/dispatch_call.h) as a method, a property get or
// a property put. Each interface is an empty IDispatch-derived type that carries its IID (for queries
// and for the IID of a failed call) and names its dispatch ids. Interfaces Velmar gives no IID for are
// declared without one and reached through IDispatch.
//
// A member is listed by the first task that calls it. Where the host's documentation gives a member no
// number, the number written here is the project's own and its comment says so.
#include "hostapi/interface_macros.h"

// The application object Velmar hands to the library.
struct IVel5Application : IDispatch {
    enum : DISPID {
        // Active 3D document (IVel5Document3D; empty when the active document is not a 3D one). The
        // positioning model asks for its document here too: dispatch id 9 only makes parameter structures.
        ActiveDocument3D = 3,
        // A new temporary 2D document (IVel5Document2D) for a fragment insertion. The temporary document,
        // its parameter structure (9) and the closing call (16) all belong to the application.
        NewTemporaryDocument2D = 4,
        ActiveDocument2D = 5,            // active 2D document (IVel5Document2D)
        Math2D = 8,                      // the 2D math object (IVel5Math2D)
        // A new iterator over 2D objects or attributes (IVel5Iterator).
        NewIterator = 7,
        NewStructure = 9,                // (16-bit kind) a new parameter structure of that kind
        ActiveSpcDocument = 11,          // active specification document (IVel5SpcDocument)
        Refresh = 16,                    // 32-bit result ignored; its meaning is Velmar's
        MainWindow = 21,                 // Velmar's main window, a 32-bit handle to sign-extend
        // Called before the library starts one of Velmar's interactive processes (a panel run), and before
        // an inserted component's position leader is made or its spc object opened for editing; its
        // 32-bit result is not used and its meaning is Velmar's.
        BeforeProcess = 24,
        AttributeManager = 43,           // the attribute manager (IVel5AttributeManager)
        // (16-bit kind: 23 a list of value items, 2 a point list) a new dynamic array (IVel5DynamicArray)
        NewArray = 39,
        // Called after the positioning model moved a preview; its result is not used and its meaning is
        // Velmar's.
        RefreshView = 44,
        SystemFolder = 45,               // (0) Velmar's system folder, without a final "\"
        LibraryFilePath = 47,            // (file name, 0) full path of an attribute library file
        Version = 50,                    // four 32-bit integers by reference: major, minor, release, build
        Application7 = 103,              // the version-7 application (IVel7Application)
        ToLayer = 108,                   // (object, target layer 1 or 2, object type) the object in the other layer
        // (32-bit command, boolean) runs one of Velmar's own commands; boolean result (57643: edit-undo).
        ExecuteCommand = 109,
        SpcObjectAt = 112,               // (32-bit reference, 32-bit second) version-7 object of a reference
    };
    // Making a user part from a standard one.
    enum : DISPID {
        NewDocument3D = 2,               // a new 3D document object (IVel5Document3D), no file open yet
        // (extension without dots, proposed name, folder text, boolean) Velmar asks the user where a new
        // model file goes; the full path, or an empty text when the user cancelled.
        ChooseModelFile = 42,
    };
    // Editing a constructive element's sketch.
    enum : DISPID {
        // (x, y as doubles, 32-bit reference) the distance of the point from the 2D object in the sketch
        // being edited. Velmar documents the number only; the argument form is the project's own reading.
        DistanceInSketch = 28,
        // (the editing object's group, 32-bit reference) the version-7 form of a sketch's 2D object
        // (IVel7SketchObject): the same member as SpcObjectAt, asked with a group.
        SketchObjectAt = 112,
    };
};
VEL_IID(IVel5Application, "E36BC97C-39D6-4402-9C25-C7008A217E02");

// Target layers and object types of IVel5Application::ToLayer.
enum VelLayer : long { VelLayer5 = 1, VelLayer7 = 2 };
enum VelObjectType : long { VelTypeNone = 0, VelTypePart = 104, VelTypeEntity = 105, VelTypePatternInstance = 120 };

// Velmar's own commands for IVel5Application::ExecuteCommand.
enum VelCommand : long { VelCommandEditUndo = 57643 };

// Codes of IVel5Document3D::PartByCode.
enum VelPartCode : long { VelPartTop = -1, VelPartEditedInPlace = -4 };
// The part the user selected for editing, and a new part not yet placed in the assembly.
enum VelPartCodeInsertion : long { VelPartSelected = -2, VelPartNew = -3 };

struct IVel5Document3D : IDispatch {
    enum : DISPID {
        // (32-bit code) a part of the document (IVel5Part; empty when there is none): -1 the document's
        // top part, -4 the component being edited in place.
        PartByCode = 7,
        Mates = 8,                       // the document's mates (IVel5MateCollection)
        // Shows what changed while a selection process runs: the request's prompt, the mates applied to
        // the part being placed.
        ShowChanges = 11,
        EndProcess = 12,                 // ends the running selection process (as cancelled)
        PlacementInfo = 14,              // (part) the placement object of a part being placed (IVel5PlacementInfo)
        // (32-bit process mode) runs the selection process of the request info that has the library's
        // callbacks, until the user accepts (VARIANT_BOOL true) or cancels (false).
        RunProcess = 15,
        // (32-bit mate type, first object, second object, 16-bit direction, 16-bit fixed value 1, double
        // value) creates a mate at once, without a mate collection.
        AddMate = 27,
        // A new, empty mate definition (IVel5Mate). The document finder's walk is documented with a top
        // part at this number too; that reading is settled where the finder is built.
        NewMate = 34,
        DeleteObject = 43,               // (object) removes an object; boolean result
        // (16-bit code: 156 a point collection, IVel5PointCollection) a new, empty collection.
        NewCollection = 67,
        UndoRecording = 70,              // boolean property: undo recording of the document
        SetCurrentObject = 73,           // (object) makes the object current; boolean result ignored
        CurrentObject = 74,              // property get: the current object (IVel5Object)
        SelectionA = 44,                 // the first highlight set of a selection process (IVel5Selection)
        SelectionB = 45,                 // the second highlight set (IVel5Selection)
    };
    // Constructive elements.
    enum : DISPID {
        Rebuild = 32,                    // rebuilds the document; boolean result ignored
    };
    // The measure tools.
    enum : DISPID {
        // (null, filter name, prompt, the library's module handle as a 32-bit integer, null) lets the user
        // pick one entity; Velmar asks the named export of the module about each entity offered. The
        // entity picked, or nothing when the user cancelled.
        PickEntity = 25,
    };
    // Model files opened for processing or for the user.
    enum : DISPID {
        // (file, boolean: for processing, not shown) opens the model file into this document object; false
        // when it cannot.
        OpenFile = 18,
        Save = 19,                       // writes the document back to its file; boolean result ignored
        Show = 33,                       // (16-bit 2) shows the opened document to the user; result ignored
    };
    // Component insertion. The first highlight set (44) is also the document's selection manager.
    enum : DISPID {
        // Boolean method; a document that answers false while it shows its bill of materials (64 = 2) is
        // worked on as a bill of materials. The meaning beyond that is Velmar's.
        Flag6 = 6,
        SpcEditor = 13,                  // the bill of materials' editing object (IVel5Specification)
        // (model file, part, VARIANT_TRUE) makes the new part a component of the assembly; boolean result.
        InsertComponent = 60,
        ViewMode = 64,                   // 32-bit: 2 while the document shows its bill of materials
        SelectedMacro = 65,              // the macro element the user selected for editing (IVel5Entity)
        Exploded = 68,                   // boolean property: the assembly is shown exploded
    };
};
VEL_IID(IVel5Document3D, "111CEFE1-A0A7-11D6-95CE-00C0262D30E3");

// The active drawing or fragment; also the temporary document of a fragment insertion and the 2D
// editing object of a sketch. 2D objects are addressed by 32-bit references.
struct IVel5Document2D : IDispatch {
    enum : DISPID {
        // As a sketch's editing object: (x, y, 32-bit point style) a new point (own number); (x, y, radius,
        // 32-bit style) a new circle; both give the 32-bit reference of the new object.
        NewPoint = 3,
        NewCircle = 4,
        // (reference, parameter structure, -1) reads the object's parameters into a structure of its kind
        // and answers the object's 32-bit kind (1 segment, 2 arc, 3 circle, 5 point, 21 leader, 27 macro, 32
        // and others); 0 when there is no such object. With an empty variant for the structure only the
        // kind is answered. 9 writes a structure's parameters back with the same arguments.
        ReadParams = 8,
        WriteParams = 9,
        Project = 10,                    // (model object) its projection into the sketch: a 32-bit reference
        // 32-bit property get of a sketch's editing object: the group its objects are addressed in.
        EditedGroup = 1,
        // (reference) removes a 2D object, a macro or group with what it holds; boolean result ignored
        RemoveObject = 34,
        Highlight = 38,                  // (reference, 1 on / 0 off)
        CloseTemporary = 151,            // closes the temporary document; boolean result ignored
        OpenTemporary = 152,             // (document parameters) opens the temporary document; boolean result ignored
        InsertionBracket = 245,          // (flag) brackets the insertion of a fastener set
        // (placement info, x, y, angle as doubles by reference, placed object, property manager) runs the
        // placement process with the cursor; a 32-bit result, non-zero when the user accepted.
        PlacementProcess = 217,
    };
    // Standard parts in drawings. Objects, macros, groups and leaders are 32-bit references; 0 is none.
    enum : DISPID {
        Reference = 1,                   // 32-bit property get: the document's own reference
        BeginMacro = 11,                 // (1) opens a macro; 0 when it could not
        // (macro) opens an ended macro again for drawing into it or for finding its own objects with
        // ObjectAt, ended by EndMacro; 0 when it could not.
        ReopenMacro = 54,
        // (macro, rectangle structure of kind 15) the macro's bounding rectangle in the drawing's
        // coordinates; boolean result ignored.
        BoundingRect = 88,
        // (group, outline group, -1): the cut of a fastener set, the objects of the group cut by the
        // outline of the other; what it does inside Velmar is Velmar's, its result is not read.
        CutByOutline = 167,
        // (macro, group): the group's objects become the macro's contents in place of what it held; 0 when
        // it could not.
        GroupIntoMacro = 14,
        EndMacro = 19,                   // ends the macro opened last; its reference
        BeginGroup = 24,                 // (1) opens a group; its reference
        EndGroup = 25,                   // ends the group opened last; 0 when it could not
        SelectedMacro = 33,              // 32-bit: the library macro the user selected for this call; 0 for none
        ObjectAt = 39,                   // (x, y, 100.0 for leaders, 1.0 for measures) the object at the point; 0 for none
        // (object type 21) the user draws a leader with Velmar's own command; its reference, 0 when none.
        DrawInteractively = 42,
        // (group), then StoreGroup (group, true) and RemoveObject (group) commit a group drawn for a
        // placement; what each step does inside Velmar is Velmar's.
        PrepareGroup = 53,
        // (group, true); also (outline group, -1) at the end of a fastener set's cut.
        StoreGroup = 63,
        AddToGroup = 65,                 // (group, object)
        GroupToClipboard = 69,           // (group, true) writes the group to Velmar's clipboard
        GroupFromClipboard = 71,         // a new group of what Velmar's clipboard holds; 0 when it holds none
        CreateLeader = 114,              // (leader structure of kind 61) a new leader; its reference
        // (request info, x, y as doubles by reference, an empty variant) asks the user for a point: -1 when
        // a point was given, anything else when the user ended the request.
        PointRequest = 117,
        // (request info, x, y, angle as doubles by reference, phantom) places the phantom with the cursor;
        // non-zero when the user placed it.
        PlacementRequest = 118,
        Fragments = 122,                 // the fragment service (IVel5Fragment)
        // (macro, user-parameter structure, false, true, false) keeps the structure's block on the macro;
        // a 32-bit result.
        SetUserData = 136,
        // (macro, user-parameter structure) reads the macro's block into the structure; 0 when it has none.
        GetUserData = 137,
        MacroPlacement = 157,            // (macro, x, y, angle as doubles by reference)
        // (macro, x, y, angle, 32-bit flag): flag 1 moves the macro by the offset and turns it by the angle,
        // 0 places it there.
        PlaceMacro = 158,
        DocVariables = 160,              // (fragment) the fragment's document variables (IVel5DynamicArray)
        SetDocVariables = 161,           // (fragment, variable list, false); 32-bit result
        // (fragment) settles an inserted fragment: its objects become objects of the document.
        SettleFragment = 183,
        SpcEditor = 177,                 // the bill of materials' editing object (IVel5Specification)
        SpcMode = 211,                   // 32-bit property: 2 while the drawing shows its bill of materials
    };
    // What part scripts draw with, beside NewCircle. Velmar documents only the numbers: the script names
    // "Segment" and "Circle" the stand-in answers are the project's own.
    enum : DISPID {
        Segment = 2,                     // (x1, y1, x2, y2, 32-bit style) a line segment; its reference
    };
    // The measure tools: what lies at a point, also inside macros.
    enum : DISPID {
        // (x, y, angle, 1.0, 1.0 as doubles) opens a local coordinate system there; 108 closes it.
        OpenLocalSystem = 107,
        CloseLocalSystem = 108,
        // (x, y, then x and y as doubles by reference) the point in the coordinates of the local system
        // open, else unchanged.
        ToLocal = 109,
    };
};
VEL_IID(IVel5Document2D, "AF4E160D-5C89-4F21-B0F2-D53397BDAF78");

struct IVel5Part : IDispatch {
    enum : DISPID {
        // Without arguments: the part's name (string property). Velmar tells the placement call of an
        // insertion, which has arguments, apart by their count.
        Name = 8,
        // Velmar tells two members of this number apart by their arguments: with two 16-bit codes (-1, -1)
        // it gives the part's feature collection (IVel5FeatureCollection); without arguments it is a
        // boolean property of the part, set to true once a user-parameter block was attached (UserParamSet).
        Features = 4,
        UserParamSet = 4,
        FileName = 6,                    // text property put: the model file of a component
        ColorParam = 10,                 // the part's colour parameters (IVel5ColorParam)
        // (16-bit object type 6) an iterator over the part's faces, walked with 3 and 5. Without an
        // argument the same number gives the part's variable collection.
        Faces = 11,
        Update = 12,                     // boolean result ignored
        // (user-parameter structure) attaches the structure's block to the part; false when refused.
        SetUserParam = 21,
        // (user-parameter structure) reads the part's block into the structure; false when it has none.
        GetUserParam = 30,
        // The part's host object, queried to IVel5Object (as a version-7 object's Bridge). A top part's
        // host object answers IVel5Part as well: the part whose elements are named apart.
        HostObject = 34,
        Measurer = 36,                   // the part's measurer (IVel5Measurer)
        PhantomLook = 38,                // 32-bit property
        Rebuild = 42,                    // (boolean)
        RebuildFlag = 43,                // boolean property put
        // (x, y, z doubles by reference, another part) converts a point given in the other part's
        // coordinates into this part's, in place.
        ConvertPoint = 45,
        // (16-bit object type) the part's objects of that type (IVel5EntityCollection): 68 mate elements,
        // 27 and 28 surfaces, 85 coordinate systems, 109 planes and axes.
        ObjectsOfType = 18,
        // (16-bit entity type: 5 sketch, 11 axis, 14 plane, 25 extrusion) a new entity of the part, filled
        // through its definition and made by its Create (9). Velmar documents no number: the project's own.
        NewEntity = 61,
    };
    // Component insertion.
    enum : DISPID {
        ComponentName = 1,               // text property put: the component's name (8 reads it)
        // With one dispatch argument (IVel5Placement) the part takes that placement; boolean result.
        // Velmar tells it from the name (8 without arguments) by the argument count.
        SetPlacement = 8,
        Variables = 11,                  // without arguments: the model's variables (IVel5VariableCollection)
        ApplyPlacement = 14,             // boolean result ignored
        // Boolean method: the component is being edited in place; asked of a document's top part, whether
        // its bill of materials belongs to an assembly edited in place.
        EditedInPlace = 22,
        EndEditInPlace = 24,             // (boolean true) ends the editing in place; result ignored
        // Called on a user part made from a standard one, after its variables were freed; boolean result
        // ignored. Its meaning is Velmar's.
        FreeFromLibrary = 15,
        // (89, 0) a new position leader of kind 89 for the component (IVel7LeaderA822).
        NewLeader = 51,
    };
    // Editing and replacing a placed component, and fastener sets.
    enum : DISPID {
        Placement = 9,                   // the component's placement (IVel5Placement)
        // (colour by reference as a 32-bit integer, six doubles by reference) the part's colour and its
        // six light values; boolean: false when the part has none of its own.
        GetColour = 19,
        SetColour = 20,                  // (colour, six doubles) the same values; boolean result ignored
        Owner = 25,                      // (-1) the part the component lies in (IVel5Part); empty at the top
        // (-1, 0, six doubles by reference: two opposite corners) the part's box; boolean: false when none.
        Box = 58,
        // A new macro element (type 63) of the part (IVel5Entity). Velmar documents no number: the
        // project's own.
        NewMacroElement = 93,
    };
};
VEL_IID(IVel5Part, "508A0CCD-9D74-11D6-95CE-00C0262D30E3");

// Any model entity: faces, edges, axes, planes, sketches, macro elements (type 63) ...
struct IVel5Entity : IDispatch {
    enum : DISPID {
        // Boolean property of a new entity; the positioning model sets it true on its preview axes and
        // planes. Its meaning is Velmar's.
        Setting1 = 1,
        Name = 2,                        // text property: the entity's name in the model tree
        Type = 3,                        // 16-bit entity type
        Definition = 5,                  // the definition, queried to the interface of the entity's kind
        Part = 6,                        // the part the entity belongs to (IVel5Part)
        Create = 9,                      // makes a new entity from its definition; boolean result ignored
        Update = 10,                     // applies a change (a new name); boolean result ignored
        // (16-bit kind: 6 faces, 7 edges, 8 points) its sub-objects (IVel5ObjectCollection)
        SubObjects = 11,
        Owner = 14,                      // the owner (IVel5Object)
        SurfaceLink = 15,                // first link of a face's surface-flag chain (IVel5SurfaceFlagLink1)
        DirectionObjects = 18,           // (16-bit kind: 71, 72, 73) collection of such objects (IVel5EntityCollection)
    };
};
VEL_IID(IVel5Entity, "508A0CCA-9D74-11D6-95CE-00C0262D30E3");

// The version-5 object of bridged version-7 objects: the bridge itself, the feature of a part (type 104)
// or of a macro element (type 105), the current object of a document.
struct IVel5Object : IDispatch {
    enum : DISPID {
        Features = 4,                    // (two booleans) feature collection (IVel5FeatureCollection)
        Object5 = 5,                     // the version-5 object behind a bridge (IVel5Object)
        Type = 7,                        // property get: 16-bit feature type (104 part, 105 entity)
        Target = 8,                      // the object behind the feature (entity or part)
        SubObjects = 11,                 // (16-bit kind: 6 faces, 8 elements) its sub-objects, walked with 3 and 5
        // Boolean property of a component entry; a user part made from a standard one loses the entries
        // that have it. Its meaning is Velmar's.
        Setting9 = 9,
    };
    // The attributes of a part's host object.
    enum : DISPID {
        // (0, 0, 0, 0, attribute type as a double) the object's attributes of that type
        // (IVel5AttributeCollection).
        Attributes = 10,
    };
};
VEL_IID(IVel5Object, "088BF9A8-37D3-4B15-A7CA-8C52FF1DBC41");

// Version-7 objects answer these through their IDispatch side; so do version-5 parts (34).
struct IVel7Dispatch {
    enum : DISPID {
        BridgeEx = 14,                   // the bridge of a version-7 object of the second kind (IVel5Object)
        Bridge = 34,                     // the bridge of a version-7 object (IVel5Object)
    };
};

struct IVel5FeatureCollection : IDispatch {
    enum : DISPID {
        Count = 2,                       // 32-bit count of the entries
        First = 3,                       // the first entry; null when there is none
        Next = 5,                        // the next entry; null at the end
        IndexOf = 9,                     // (object) 32-bit index of the object in the collection
    };
};
VEL_IID(IVel5FeatureCollection, "CE6A46FF-02B4-4C7E-AF50-3F3707C8B122");

// Placement object / request info / phantom entity of a 3D part being placed.
struct IVel5PlacementInfo : IDispatch {
    enum : DISPID {
        // As the request info of a selection process (what the panels call it):
        Prompt = 1,                      // string property put: the prompt Velmar shows
        // (callback name, the library's module handle as a 32-bit integer, object or null) the export
        // Velmar asks whether an offered object may be picked (9), and the one it tells a pick (10).
        FilterCallback = 9,
        PickCallback = 10,
        Position = 11,                   // the placement the user gave the part (IVel5Placement)
        Mates = 14,                      // the mates of the part being placed (IVel5MateCollection)
        SetPropertyManager = 18,         // (property manager) ties the request to the panel's property manager
        Part = 15,                       // the part shown while placing (IVel5Part)
        CurrentObject = 19,              // the object under the cursor (IVel5Object; empty when none)
        PhantomReady = 16,               // boolean: the phantom exists
    };
};
VEL_IID(IVel5PlacementInfo, "E9807824-9D55-11D6-95CE-00C0262D30E3");

struct IVel5ColorParam : IDispatch {
    enum : DISPID {
        PhantomShade = 6,                // double property; 0.35 while a part is being placed
    };
};
VEL_IID(IVel5ColorParam, "2DFACC61-C4A4-11D6-8734-00C0262CDD2C");

// Placement of a part; also the axis object of a cylinder and a sketch plane's parameters.
struct IVel5Placement : IDispatch {
    enum : DISPID {
        AxisPoint = 1,                   // as a cylinder's axis: (x, y, z doubles by reference) a point of the axis
        // As a sketch's plane: (x, y, z of a direction, u and v doubles by reference) the direction in the
        // plane's own two coordinates. The argument form is the project's own reading.
        ToPlane = 7,
    };
};
VEL_IID(IVel5Placement, "2DFACC64-C4A4-11D6-8734-00C0262CDD2C");

// A mate definition being filled, or a mate of the document.
struct IVel5Mate : IDispatch {
    enum : DISPID {
        Kind = 1,                        // 16-bit mate type
        Direction = 2,                   // 16-bit direction
        Fixed = 3,                       // 16-bit; the library writes 1
        Value = 4,                       // double
        Check = 5,                       // boolean: the definition is complete and may be added
        Object = 6,                      // (1 or 2) one of the two mated objects
        SetObject = 7,                   // (1 or 2, object) one of the two mated objects; boolean result ignored
    };
};
VEL_IID(IVel5Mate, "508A0CC4-9D74-11D6-95CE-00C0262D30E3");

struct IVel5MateCollection : IDispatch {
    enum : DISPID {
        Add = 7,                         // (mate definition) adds a checked definition
        RemoveAll = 9,                   // empties the collection
        MatesOf = 12,                    // (object, variant by reference) fills the variant with the object's mates
    };
};
VEL_IID(IVel5MateCollection, "03CEAC84-C0B8-11D6-8734-00C0262CDD2C");

struct IVel5VariableCollection : IDispatch {
    enum : DISPID {
        First = 3,                       // the first variable; null when there is none
        Next = 5,                        // the next variable; null at the end
    };
};
VEL_IID(IVel5VariableCollection, "03CEAC81-C0B8-11D6-8734-00C0262CDD2C");

// A model variable of a part; also the variable structure of kind 85.
struct IVel5Variable : IDispatch {
    enum : DISPID {
        Value = 1,                       // double property
        Name = 2,                        // text property
        // Boolean property; a user part made from a standard one has it cleared on every variable. Its
        // meaning is Velmar's.
        Setting6 = 6,
    };
};
VEL_IID(IVel5Variable, "508A0CC1-9D74-11D6-95CE-00C0262D30E3");

// A part's objects of one type (faces, named geometry, direction objects).
struct IVel5EntityCollection : IDispatch {
    enum : DISPID {
        First = 3,                       // the first object; null when there is none
        Next = 5,
        FindByName = 9,                  // (name, two 16-bit flags) the object of that name; null when none
    };
};
VEL_IID(IVel5EntityCollection, "B0170141-C02C-11D6-8734-00C0262CDD2C");

struct IVel5SurfaceFlagLink1 : IDispatch {
    enum : DISPID {
        Link = 3,                        // the second link (IVel5SurfaceFlagLink2)
    };
};
VEL_IID(IVel5SurfaceFlagLink1, "CFC49C01-7653-4845-93FD-13428F5D58EC");

struct IVel5SurfaceFlagLink2 : IDispatch {
    enum : DISPID {
        Flag = 3,                        // boolean: the face test at the end of the chain
    };
};
VEL_IID(IVel5SurfaceFlagLink2, "03EFC9DD-E05A-4277-BC7C-4FD499A252DE");

struct IVel5FaceDefinition : IDispatch {
    enum : DISPID {
        Test1 = 1,                       // boolean: a planar face
        Test2 = 2,                       // boolean
        Test3 = 3,                       // boolean: a cylindrical face
        // Two doubles by reference: (length, radius). The radius is the second value.
        CylinderParams = 4,
        Surface = 6,                     // the face's surface (IVel5Surface)
        Orientation = 8,                 // boolean property: false when the surface normal points into the body
        // The face's edges (IVel5EdgeCollection), walked with 3 and 5; each item is an edge entity.
        Edges = 11,
        Face = 20,                       // the face entity (IVel5Entity)
    };
};
VEL_IID(IVel5FaceDefinition, "0307BBA8-C193-11D6-8734-00C0262CDD2C");

struct IVel5EdgeDefinition : IDispatch {
    enum : DISPID {
        Test1 = 1,                       // boolean: a straight edge
        Curve = 3,                       // the edge's curve (IVel5Curve)
        AdjacentFace = 4,                // (16-bit side: -1 or 0) the face definition on that side (IVel5FaceDefinition)
        Test8 = 8,                       // boolean
        Test9 = 9,                       // boolean: a circular edge
        Test10 = 10,                     // boolean
        // (boolean: true the start, false the end) the edge's vertex (IVel5Vertex); edge entities answer it
        // as their own definition does.
        Vertex = 5,
    };
};
VEL_IID(IVel5EdgeDefinition, "0307BBAB-C193-11D6-8734-00C0262CDD2C");

struct IVel5EdgeCollection : IDispatch {};
VEL_IID(IVel5EdgeCollection, "6096A4FD-970B-468C-815E-37CA1970A203");

struct IVel5Vertex : IDispatch {
    enum : DISPID {
        Point = 1,                       // (x, y, z doubles by reference) the vertex's point
    };
};
VEL_IID(IVel5Vertex, "A7257E73-EB61-4602-BC8B-2D00EA4AA062");

struct IVel5Surface : IDispatch {
    enum : DISPID {
        PointAt = 2,                     // (u, v, x, y, z doubles by reference) the point at (u, v)
        NormalAt = 3,                    // (u, v, x, y, z doubles by reference) the normal at (u, v)
        U = 15,                          // double property: u of a point of the surface
        // (curve, point collection) puts the points where the curve meets the surface into the collection;
        // boolean result ignored. The argument form is the project's own reading.
        Intersect = 32,
        V = 17,                          // double property: v of that point
        Parameters = 29,                 // the surface's parameters (IVel5ConeParam or IVel5CylinderParam)
    };
};
VEL_IID(IVel5Surface, "963CB6E1-B9BF-4234-964A-13BFE6C0282A");

struct IVel5ConeParam : IDispatch {
    enum : DISPID {
        Value = 3,                       // double property; its sign carries no meaning for the library
    };
};
VEL_IID(IVel5ConeParam, "CCFA0D95-0834-4F92-988B-6E477AD67589");

struct IVel5CylinderParam : IDispatch {
    enum : DISPID {
        Axis = 3,                        // the cylinder's axis (IVel5Placement)
    };
};
VEL_IID(IVel5CylinderParam, "5D462836-CF69-4995-AB78-8C7A83D09BD7");

// Axis definitions, one interface per axis entity type (9 to 13).
struct IVel5AxisDefinition9 : IDispatch {
    enum : DISPID { Curve = 3 };      // the axis curve (IVel5Curve)
};
VEL_IID(IVel5AxisDefinition9, "0307BB81-C193-11D6-8734-00C0262CDD2C");
struct IVel5AxisDefinition10 : IDispatch {
    enum : DISPID { Curve = 3 };      // the axis curve (IVel5Curve)
};
VEL_IID(IVel5AxisDefinition10, "0307BB87-C193-11D6-8734-00C0262CDD2C");
struct IVel5AxisDefinition11 : IDispatch {
    enum : DISPID {
        SetFace = 1,                     // (cylindrical face) the axis of that face; boolean result ignored
        Curve = 3,                       // the axis curve (IVel5Curve)
    };
};
VEL_IID(IVel5AxisDefinition11, "97337DAF-B7CD-4FB8-8E18-23F0230E5CBE");
struct IVel5AxisDefinition12 : IDispatch {
    enum : DISPID { Curve = 3 };      // the axis curve (IVel5Curve)
};
VEL_IID(IVel5AxisDefinition12, "0307BB8A-C193-11D6-8734-00C0262CDD2C");
struct IVel5AxisDefinition13 : IDispatch {
    enum : DISPID { Curve = 3 };      // the axis curve (IVel5Curve)
};
VEL_IID(IVel5AxisDefinition13, "0307BB84-C193-11D6-8734-00C0262CDD2C");

struct IVel5Curve : IDispatch {
    enum : DISPID {
        PointAt = 1,                     // (t, x, y, z doubles by reference) the point at parameter t
        Start = 7,                       // double property: the first parameter
        End = 8,                         // double property: the last parameter
        // What an edge's curve is, asked for by the measure tools.
        IsLine = 15,                     // boolean: the curve is a line
        IsCircle = 17,                   // boolean: the curve is a circle
        Shape = 20,                      // the line (IVel5Line3D) or the circle (IVel5Circle3D)
    };
};
VEL_IID(IVel5Curve, "7572648A-D4EE-41FE-8D74-EC7D1F91BDE2");

struct IVel5Line3D : IDispatch {
    enum : DISPID {
        Start = 1,                       // (x, y, z doubles by reference) the start point
        End = 2,                         // (x, y, z doubles by reference) the end point
    };
};
VEL_IID(IVel5Line3D, "DC8F6A7B-FF16-46FF-986D-2F7E1F6B25C4");

struct IVel5Circle3D : IDispatch {       // no IID given
    enum : DISPID {
        Radius = 1,                      // double property
    };
};

struct IVel5ThreadDefinition : IDispatch {
    enum : DISPID {
        Param1 = 1,                      // double property
        Param2 = 2,                      // double property, measured from the thread's base
        Param3 = 3,                      // double property
        Outer = 4,                       // boolean property: an outer thread
        Base = 10,                       // the object the thread starts from (an entity)
    };
};
VEL_IID(IVel5ThreadDefinition, "5DDB6B14-6F3D-431F-B62F-C5FCCAFC3632");

// Definition of an offset plane (plane entity type 14).
struct IVel5OffsetPlaneDefinition : IDispatch {
    enum : DISPID {
        Offset = 1,                      // double property
        Reversed = 2,                    // boolean property: the offset runs against the base's normal
        SetBase = 3,                     // (plane or planar face) the plane it is offset from; boolean result ignored
        Base = 5,                        // the geometric base
    };
};
VEL_IID(IVel5OffsetPlaneDefinition, "DEEFF00B-C3E2-11D6-8734-00C0262CDD2C");

// Plane and face definitions read for the geometric base of an entity, one per plane entity type.
struct IVel5PlaneDefinition1 : IDispatch {      // types 1, 2, 3
    enum : DISPID { Base = 1 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition1, "508A0CC7-9D74-11D6-95CE-00C0262D30E3");
struct IVel5PlaneDefinition15 : IDispatch {
    enum : DISPID { Base = 6 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition15, "DEEFF00E-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PlaneDefinition16 : IDispatch {
    enum : DISPID { Base = 3 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition16, "DEEFF011-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PlaneDefinition17 : IDispatch {
    enum : DISPID { Base = 6 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition17, "DEEFF014-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PlaneDefinition18 : IDispatch {
    enum : DISPID { Base = 6 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition18, "DEEFF017-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PlaneDefinition19 : IDispatch {
    enum : DISPID { Base = 5 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition19, "DEEFF01A-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PlaneDefinition20 : IDispatch {
    enum : DISPID { Base = 5 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition20, "DEEFF01D-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PlaneDefinition21 : IDispatch {
    enum : DISPID { Base = 5 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition21, "DEEFF020-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PlaneDefinition22 : IDispatch {
    enum : DISPID { Base = 6 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition22, "DEEFF023-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PlaneDefinition23 : IDispatch {
    enum : DISPID { Base = 6 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition23, "DEEFF026-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PlaneDefinition66 : IDispatch {
    enum : DISPID { Base = 4 };      // the geometric base
};
VEL_IID(IVel5PlaneDefinition66, "CC5E3539-5B35-46FC-AFE1-19BB0168D52F");

// Pattern-feature definitions, one per pattern entity type (type 58 has none).
struct IVel5PatternDefinition25 : IDispatch {
    enum : DISPID { Base = 3 };      // the pattern's further object (an entity)
};
VEL_IID(IVel5PatternDefinition25, "DEEFEFE4-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PatternDefinition26 : IDispatch {
    enum : DISPID { Base = 4 };      // the pattern's further object (an entity)
};
VEL_IID(IVel5PatternDefinition26, "DEEFEFE7-C3E2-11D6-8734-00C0262CDD2C");
struct IVel5PatternDefinition29 : IDispatch {
    enum : DISPID { Base = 5 };      // the pattern's further object (an entity)
};
VEL_IID(IVel5PatternDefinition29, "2DFACC6D-C4A4-11D6-8734-00C0262CDD2C");
struct IVel5PatternDefinition47 : IDispatch {
    enum : DISPID { Base = 4 };      // the pattern's further object (an entity)
};
VEL_IID(IVel5PatternDefinition47, "DEEFEFFF-C3E2-11D6-8734-00C0262CDD2C");

struct IVel5MacroDefinition : IDispatch {
    enum : DISPID {
        // Boolean property; the library sets it false once an element is built or moved. Its meaning is
        // Velmar's.
        Setting1 = 1,
        InnerObjects = 2,                // the element's inner objects, walked as IVel5ObjectCollection
        // (version-5 part) the part joins the element's objects, as a part of the element that is replaced.
        AddPart = 4,
        SetUserParam = 5,                // (user-parameter structure) marks the element as a library's; boolean result
    };
};
VEL_IID(IVel5MacroDefinition, "02556461-D088-4F00-AE61-D366082DB9BC");

struct IVel5SketchDefinition : IDispatch {
    enum : DISPID {
        EndEdit = 2,                     // ends the editing of the sketch; boolean result ignored
        SetPlane = 3,                    // (plane or planar face) the sketch's plane; boolean result ignored
        Plane = 4,                       // the sketch's plane, as given (its IVel5Placement converts directions)
        BeginEdit = 9,                   // the sketch's 2D editing object (IVel5Document2D)
    };
};
VEL_IID(IVel5SketchDefinition, "2DFACC70-C4A4-11D6-8734-00C0262CDD2C");

// No IID given. The argument forms are the project's own reading; so is the number of the profile.
struct IVel5ExtrusionDefinition : IDispatch {
    enum : DISPID {
        Sketch = 1,                      // (sketch) the profile; boolean result ignored
        Direction = 2,                   // (16-bit: 0 one side, forward)
        Depth = 5,                       // (double) the depth on that side
        ThinWall = 7,                    // (boolean) a thin wall instead of a solid
    };
};
// No IID given: sub-object and inner-object collections, face iterators. Walked from the first item to
// the first null one.
struct IVel5ObjectCollection : IDispatch {
    enum : DISPID {
        Count = 2,                       // 32-bit count
        First = 3,
        Next = 5,
        // (version-5 object) of a macro element's inner objects: the object joins the element.
        Add = 10,
    };
};
// No IID given. Count (2) and the refresh after a deletion (1) are Velmar's; the first attribute (3)
// is the project's own, as the walked collections have it.
struct IVel5AttributeCollection : IDispatch {
    enum : DISPID {
        Refresh = 1,
        Count = 2,                       // 32-bit property
        First = 3,
        Next = 5,                        // the next attribute; null at the end (own, as First)
    };
};
// No IID given: the version-5 object of an array (pattern), reached from its version-7 form through
// IVel5Application::ToLayer (1, 105); also a pattern instance. Only the state is numbered by Velmar's
// documents; name, base and rebuild are at the project's own numbers.
struct IVel5Array : IDispatch {
    enum : DISPID {
        Name = 2,                        // text property: the array's name in the model tree (own)
        State = 6,                       // boolean property: false when the array holds errors
        BaseObject = 31,                 // property, read and written: the object the array is laid along (own)
        // Of an instance: (32-bit position of a source, from 0) the copy of that source (IVel5Part).
        CopyAt = 7,
        Rebuild = 32,                    // rebuilds the array after a change of its base; boolean result ignored (own)
    };
};
// No IID given: the points where a curve meets a surface (IVel5Surface::Intersect).
struct IVel5PointCollection : IDispatch {
    enum : DISPID {
        Count = 1,                       // 32-bit count
        Point = 2,                       // (32-bit index from 0, x, y, z doubles by reference)
    };
};

// A highlight set of a selection process.
struct IVel5Selection : IDispatch {
    enum : DISPID {
        Add = 1,                         // (object)
        Remove = 2,                      // (object)
        Clear = 3,
    };
};
VEL_IID(IVel5Selection, "BE41850C-CFC5-40D4-AE49-37AA391BCF4B");

// Measures between two objects of a part.
struct IVel5Measurer : IDispatch {
    enum : DISPID {
        First = 1,                       // object property: the first object
        Second = 2,                      // object property: the second object
        Calculate = 8,                   // boolean: the measure could be taken
        HasAngle = 9,                    // boolean: the measure has an angle
        Angle = 10,                      // double property: the angle in degrees
        Distance = 15,                   // double property: the distance
    };
};
VEL_IID(IVel5Measurer, "ABC84FE5-3945-4A0B-820A-719BF4B79224");

// The bill of materials (its editing object) of a document; also the interface through which a
// component's or macro's position number is written.
struct IVel5Specification : IDispatch {
    enum : DISPID {
        SetPosition = 8,                 // (32-bit position number); 32-bit result ignored
        // (32-bit reference of an spc object, IVel7ObjectRef position 10) opens the object for editing;
        // result ignored.
        EditObject = 13,
    };
};
VEL_IID(IVel5Specification, "51E74524-9A3A-11D6-95CE-00C0262D30E3");

struct IVel5SpcDocument : IDispatch {
    enum : DISPID {
        BillOfMaterials = 3,             // its bill of materials (IVel5Specification)
    };
};
VEL_IID(IVel5SpcDocument, "51E74521-9A3A-11D6-95CE-00C0262D30E3");

struct IVel5AttributeManager : IDispatch {
    enum : DISPID {
        // (object, attribute header of kind 38, attribute type as a double, attribute library path) a new
        // attribute of the object (IDispatch).
        CreateAttribute = 23,
        // (object, attribute, empty text) deletes the attribute; boolean result.
        DeleteAttribute = 24,
        // The attributes of 2D objects, addressed by reference. (object, value arrays, attribute type as a
        // double, attribute library path): a new attribute of the object; its reference. The value arrays
        // travel as one VT_ARRAY|VT_DISPATCH argument holding the text array and the flag array
        // (IVel5DynamicArray of value items): that form is the project's own reading of the one argument
        // Velmar documents.
        CreateObjectAttribute = 6,
        DeleteObjectAttribute = 7,       // (object, attribute reference); result ignored
    };
};
VEL_IID(IVel5AttributeManager, "FA93AA24-9B3D-11D6-95CE-00C0262D30E3");

// Parameter structure of kind 38: the header of an attribute. The library writes 1, 10, 100, 1001 and
// an empty text into its fields 1 to 5; what they mean is Velmar's.
struct IVel5AttributeHeader : IDispatch {
    enum : DISPID {
        Field1 = 1,                      // 32-bit property
        Field2 = 2,                      // 32-bit property
        Field3 = 3,                      // 32-bit property
        Field4 = 4,                      // 32-bit property
        Field5 = 5,                      // text property
        // (user-parameter structure of kind 112) takes the attribute's values; boolean: false when refused.
        SetValues = 7,
        Init = 12,                       // empties the header; boolean result ignored
    };
};
VEL_IID(IVel5AttributeHeader, "CE0D05E4-9B2A-11D6-95CE-00C0262D30E3");

// Parameter structure of kind 112: a header and an array of value items, kept by a part or an element.
struct IVel5UserParam : IDispatch {
    enum : DISPID {
        LibFileName = 1,                 // text property
        LibName = 2,                     // text property: the library the block belongs to
        Flag = 3,                        // 32-bit property; the library writes 1
        Values = 4,                      // property get: the array of value items (IVel5DynamicArray)
        SetValues = 5,                   // (array) the structure's array; boolean result ignored
        Init = 6,                        // empties the structure; boolean result ignored
        // The block of a 2D macro: a byte array (VT_ARRAY|VT_UI1, one dimension, lower bound 0).
        Block = 7,
    };
};
VEL_IID(IVel5UserParam, "E79C2519-9584-11D6-8732-00C0262CDD2C");

// Parameter structure of kind 108: one item of a user-parameter array.
struct IVel5ValueItem : IDispatch {
    enum : DISPID {
        Text = 2,                        // text property, kept in Velmar's 8-bit code page
        Init = 11,                       // empties the item; boolean result ignored
        WideText = 12,                   // text property, kept as it is
        // 16-bit property: the flag of an entry of an attribute's flag array (1 for every value).
        Flag = 9,
    };
};
VEL_IID(IVel5ValueItem, "E79C2516-9584-11D6-8732-00C0262CDD2C");

struct IVel5DynamicArray : IDispatch {
    enum : DISPID {
        Count = 4,                       // 32-bit count
        // (item, 32-bit index -1) appends a copy of the item; boolean result ignored. Point and branch
        // lists of leaders are appended with the same form.
        Append = 7,
        Item = 8,                        // (32-bit index, item) copies the entry at the index into the item; boolean result
        Clear = 3,                       // empties the list; result ignored
        SetItem = 9,                     // (32-bit index, item) copies the item into the entry; boolean result
    };
};
VEL_IID(IVel5DynamicArray, "4D91CD9A-6E02-409D-9360-CF7FEF60D31C");

struct IVel5ValueArray : IDispatch {};             // no IID given: value arrays of technological attributes

// Document parameters (kind 35) with which a temporary 2D document is opened.
struct IVel5DocumentParam : IDispatch {
    enum : DISPID {
        Kind = 4,                        // 16-bit
        Mode = 5,                        // 16-bit
    };
};
VEL_IID(IVel5DocumentParam, "FBCC5B96-996C-11D6-8732-00C0262CDD2C");

// The parameters of drawing objects, by object type. Style is each kind's 32-bit line style; style 6 is
// an auxiliary line, which a fragment's drawing leaves behind.
// Kind 11, object type 1: a segment's end points, double properties, and its style.
struct IVel5SegmentParam : IDispatch {
    enum : DISPID { X1 = 1, Y1 = 2, X2 = 3, Y2 = 4, Style = 5 };
};
VEL_IID(IVel5SegmentParam, "7F7D6F84-97DA-11D6-8732-00C0262CDD2C");
// Kinds 20 (arc, object type 2), 12 (circle, type 3) and 22 (type 32): the centre is read at 1 and 2,
// double properties (the project's own reading; the point's numbers are Velmar's).
struct IVel5ArcParam : IDispatch {
    enum : DISPID { CentreX = 1, CentreY = 2, Radius = 3, Style = 4 };
};
VEL_IID(IVel5ArcParam, "7F7D6F87-97DA-11D6-8732-00C0262CDD2C");
struct IVel5CircleParam : IDispatch {
    enum : DISPID { CentreX = 1, CentreY = 2, Radius = 3, Style = 7 };
};
VEL_IID(IVel5CircleParam, "7F7D6F8A-97DA-11D6-8732-00C0262CDD2C");
// Kind 16: a point, double properties.
struct IVel5PointParam : IDispatch {
    enum : DISPID { X = 1, Y = 2 };
};
VEL_IID(IVel5PointParam, "7F7D6F90-97DA-11D6-8732-00C0262CDD2C");
struct IVel5FragmentPlacement : IDispatch {       // kind 7
    enum : DISPID {
        Scale = 3,                       // double property; the library writes 1.0
        Init = 5,
    };
};
VEL_IID(IVel5FragmentPlacement, "7F7D6FA8-97DA-11D6-8732-00C0262CDD2C");
struct IVel5Type32Param : IDispatch {            // kind 22
    enum : DISPID { CentreX = 1, CentreY = 2, Style = 6 };
};
VEL_IID(IVel5Type32Param, "364521A6-94B5-11D6-8732-00C0262CDD2C");
struct IVel5Type33Param : IDispatch {              // kind 23, object types 33 and 34
    enum : DISPID { Style = 9 };
};
VEL_IID(IVel5Type33Param, "364521A9-94B5-11D6-8732-00C0262CDD2C");
struct IVel5Type35Param : IDispatch {              // kind 91, object type 35
    enum : DISPID { Style = 6 };
};
VEL_IID(IVel5Type35Param, "E79C2510-9584-11D6-8732-00C0262CDD2C");
// Kind 6: the phantom a 2D placement moves with the cursor.
struct IVel5Phantom2D : IDispatch {
    enum : DISPID {
        // 16-bit property: 1 a placed group's phantom, 2 a rubber line from a point (the point sub-object).
        Kind = 1,
        // Its parameters (IVel5Phantom2DParam). The same number gives the point sub-object
        // (IVel5Phantom2DPoint) to the measure tools.
        Params = 2,
        Init = 3,
    };
};
VEL_IID(IVel5Phantom2D, "9AF8E353-98A0-11D6-95CE-00C0262D30E3");
struct IVel5Phantom2DParam : IDispatch {
    enum : DISPID {
        Group = 5,                       // 32-bit property: the group the phantom shows
    };
};
VEL_IID(IVel5Phantom2DParam, "9AF8E344-98A0-11D6-95CE-00C0262D30E3");
struct IVel5Phantom2DPoint : IDispatch {
    enum : DISPID { X = 1, Y = 2 };      // double properties: where the rubber line starts
};
VEL_IID(IVel5Phantom2DPoint, "9AF8E347-98A0-11D6-95CE-00C0262D30E3");
// Kind 10: the placement info of the 2D placement process.
struct IVel5RequestInfo2D : IDispatch {
    enum : DISPID {
        Prompt = 1,                      // text property: the prompt Velmar shows
        // 32-bit property; the library sets 0 for a placement and 1 for a pick, in which the point request
        // (117) offers every cursor position to the filter (12). Its further meaning is Velmar's.
        Setting5 = 5,
        ObjectMask = 10,                 // 32-bit property; a pick sets 65532 (0xFFFC), its meaning is Velmar's
        // (callback name, the library's module handle as a 32-bit integer, object or null) the export Velmar
        // calls with each cursor position of a pick.
        FilterCallback = 12,
        Init = 17,                       // initialises a new placement info
    };
};
VEL_IID(IVel5RequestInfo2D, "9AF8E356-98A0-11D6-95CE-00C0262D30E3");
// Kind 61: a leader's parameters, read from a leader (IVel5Document2D::ReadParams) or made into one
// (CreateLeader). Properties 1, 4 and 5 and the text list (7, 8) are Velmar's; the library copies them.
struct IVel5LeaderParam : IDispatch {
    enum : DISPID {
        Setting1 = 1,                    // 32-bit property
        ShelfX = 2,                      // double property
        ShelfY = 3,                      // double property
        Setting4 = 4,                    // 16-bit property
        Setting5 = 5,                    // 32-bit property
        Texts = 7,                       // a list (IVel5DynamicArray)
        SetTexts = 8,                    // (list)
        Branches = 9,                    // the list of branches, each a point list (IVel5DynamicArray)
        SetBranches = 10,                // (list)
        Init = 11,
    };
};
VEL_IID(IVel5LeaderParam, "3F715E43-97D9-11D6-95CE-00C0262D30E3");
struct IVel5Point2D : IDispatch {                  // kind 14
    enum : DISPID {
        X = 1,                           // double property
        Y = 2,                           // double property
        Init = 3,
    };
};
VEL_IID(IVel5Point2D, "3198E121-9585-11D6-95CE-00C0262D30E3");

// Iterator over 2D objects or attributes; name finder of sketch objects.
struct IVel5Iterator : IDispatch {
    enum : DISPID {
        // (32-bit object type, 0 for every type; 32-bit macro or group whose objects are walked, 0 the whole
        // document or the sketch being edited) sets the iterator up over those objects; false when it
        // could not.
        Init = 2,
        Step = 3,                        // ("F" the first, "N" the next) 32-bit reference; 0 at the end
        // (object, 0, 0, 0, 0, attribute type as a double) sets it up over the object's attributes of that
        // type; false when it could not.
        OverAttributes = 4,
        Close = 9,                       // closes the iterator; 32-bit result ignored
    };
};
VEL_IID(IVel5Iterator, "D06C9101-98CA-11D6-8732-00C0262CDD2C");

// The fragment service of a 2D document: fragments of fragment libraries inserted into it.
struct IVel5Fragment : IDispatch {
    enum : DISPID {
        // (library reference "<file>|<fragment>", fragment name, 1) the fragment's definition, a 32-bit
        // reference; fails for a library or fragment Velmar cannot find.
        Definition = 1,
        // (definition, true, placement structure of kind 7, false) inserts the fragment; its reference.
        Insert = 9,
    };
};
VEL_IID(IVel5Fragment, "D06C9104-98CA-11D6-8732-00C0262CDD2C");

struct IVel5Math2D : IDispatch {
    enum : DISPID {
        // (x1, y1, x2, y2 as doubles) the direction angle from the first point to the second, in degrees.
        DirectionAngle = 5,
        Length = 40,                     // (32-bit reference, 1) the length of a 2D object
    };
};
VEL_IID(IVel5Math2D, "F2D5AE01-45DE-4496-B01B-9958CAEF5943");

// Kind 15: a rectangle, which IVel5Document2D::BoundingRect fills. Velmar does not document the
// structure: its kind, identifier and properties are the project's own.
struct IVel5Rect2D : IDispatch {
    enum : DISPID { X1 = 1, Y1 = 2, X2 = 3, Y2 = 4 };    // double properties: two opposite corners
};
VEL_IID(IVel5Rect2D, "5B0E7C31-8A2D-4F96-B3E4-71C9D20A6F58");

// The parameter structures IVel5Application::NewStructure makes, by kind, with the interface each answers.
struct VelStructureKind {
    short kind;
    const IID* iid;
};
inline constexpr VelStructureKind VelStructureKinds[] = {
    {6, &__uuidof(IVel5Phantom2D)},          {7, &__uuidof(IVel5FragmentPlacement)},
    {10, &__uuidof(IVel5RequestInfo2D)},     {11, &__uuidof(IVel5SegmentParam)},
    {12, &__uuidof(IVel5CircleParam)},       {14, &__uuidof(IVel5Point2D)},
    {15, &__uuidof(IVel5Rect2D)},
    {16, &__uuidof(IVel5PointParam)},        {20, &__uuidof(IVel5ArcParam)},
    {22, &__uuidof(IVel5Type32Param)},       {23, &__uuidof(IVel5Type33Param)},
    {35, &__uuidof(IVel5DocumentParam)},     {38, &__uuidof(IVel5AttributeHeader)},
    {61, &__uuidof(IVel5LeaderParam)},       {85, &__uuidof(IVel5Variable)},
    {91, &__uuidof(IVel5Type35Param)},       {108, &__uuidof(IVel5ValueItem)},
    {112, &__uuidof(IVel5UserParam)},
};
