// Every method of the contract sits at the position Velmar (or the reference book) has it: the
// placeholders before it must be neither too few nor too many.
#include "hostapi/velmar.h"
#include "sim/sim_object.h"

#include <gtest/gtest.h>

namespace {

struct Position {
    const char* member;
    int compiled;
    int documented;
};

#define VEL_AT(Interface, Method, position) Position{#Interface "::" #Method, sim::VtableIndexOf(&Interface::Method), position}

const Position kPositions[] = {
    VEL_AT(IVel7Application, get_Documents, 13),
    VEL_AT(IVel7Application, get_PropertyManager, 15),
    VEL_AT(IVel7Application, EndProcess, 16),
    VEL_AT(IVel7Application, get_ActiveDocument, 19),
    VEL_AT(IVel7Application, LastError, 21),
    VEL_AT(IVel7Application, put_EditSwitch, 25),
    VEL_AT(IVel7Application, ShowMessage, 34),
    VEL_AT(IVel7TesterResult, get_Code, 11),
    VEL_AT(IVel7TesterResult, get_Text, 12),
    VEL_AT(IVel7Documents, Add, 14),
    VEL_AT(IVel7Document, get_Kind, 11),
    VEL_AT(IVel7Document, Close, 13),
    VEL_AT(IVel7Document, get_SpcDescriptions, 26),
    VEL_AT(IVel7Document, get_DataStore, 28),
    VEL_AT(IVel7Document3D, Close, 13),
    VEL_AT(IVel7Document3D, get_PatternOwner, 29),
    VEL_AT(IVel7Document3D, put_EditSwitch, 52),
    VEL_AT(IVel7Document3D, put_UndoContainerMode, 67),
    VEL_AT(IVel7Document3D, get_UndoEnabled, 68),
    VEL_AT(IVel7Document3D, put_UndoDisabledMode, 69),
    VEL_AT(IVel7Document3D, get_UndoContainerOpen, 70),
    VEL_AT(IVel7Document3D, put_RecalcDimensions, 73),
    VEL_AT(IVel7Document3D, get_RecalcDimensions, 74),
    VEL_AT(IVel7Item, put_Current, 22),
    VEL_AT(IVel7Pattern, put_Sources, 20),
    VEL_AT(IVel7Pattern, get_Sources, 21),
    VEL_AT(IVel7Part, get_Excluded, 64),
    VEL_AT(IVel7Entity, Item, 41),
    VEL_AT(IVel7SpcDescriptions, Add, 14),
    VEL_AT(IVel7SpcDescriptions, get_Active, 16),
    VEL_AT(IVel7SpcDescriptions, get_Current, 17),
    VEL_AT(IVel7SpcDescription, Update, 19),
    VEL_AT(IVel7SpcDescription, get_Sub, 21),
    VEL_AT(IVel7SpcDescription, get_SpcObjects, 24),
    VEL_AT(IVel7SpcDescription, get_UpdateMode, 34),
    VEL_AT(IVel7SpcDescription, put_UpdateMode, 35),
    VEL_AT(IVel7SpcDescription, put_BulkSwitch, 37),
    VEL_AT(IVel7SpcDescriptionSub, get_ColumnsA, 19),
    VEL_AT(IVel7SpcDescriptionSub, get_ColumnsB, 20),
    VEL_AT(IVel7SpcObjects, Add, 14),
    VEL_AT(IVel7SpcColumns, get_Count, 12),
    VEL_AT(IVel7SpcColumns, get_Item, 13),
    VEL_AT(IVel7SpcObjectBase, get_Section, 12),
    VEL_AT(IVel7SpcObjectBase, get_SubSection, 13),
    VEL_AT(IVel7SpcObjectBase, put_SubSection, 14),
    VEL_AT(IVel7SpcObjectBase, put_AdditionalBlockSection, 16),
    VEL_AT(IVel7SpcObjectBase, get_AdditionalBlock, 17),
    VEL_AT(IVel7SpcObjectBase, put_AdditionalBlock, 18),
    VEL_AT(IVel7SpcObjectBase, get_NestedSection, 19),
    VEL_AT(IVel7SpcObjectBase, put_NestedSection, 20),
    VEL_AT(IVel7SpcObjectBase, get_NestedBlock, 21),
    VEL_AT(IVel7SpcObjectBase, put_NestedBlock, 22),
    VEL_AT(IVel7SpcObjectBase, get_ColumnsA, 30),
    VEL_AT(IVel7SpcObjectBase, get_ColumnsB, 31),
    VEL_AT(IVel7SpcObjectBase, Update, 33),
    VEL_AT(IVel7SpcObjectBase, Delete, 34),
    VEL_AT(IVel7SpcObject, get_Comments, 42),
    VEL_AT(IVel7SpcObject, get_Number, 44),
    VEL_AT(IVel7SpcObject, put_Number, 45),
    VEL_AT(IVel7SpcObject, IncludeGeometry, 50),
    VEL_AT(IVel7SpcObject, ExcludeGeometry, 51),
    VEL_AT(IVel7SpcColumn, get_Type, 11),
    VEL_AT(IVel7SpcColumn, get_Number, 12),
    VEL_AT(IVel7SpcColumn, get_Kind, 15),
    VEL_AT(IVel7SpcColumn, get_Items, 16),
    VEL_AT(IVel7SpcColumn, get_TextObject, 19),
    VEL_AT(IVel7SpcColumnItems, get_Count, 12),
    VEL_AT(IVel7SpcColumnItems, get_Item, 13),
    VEL_AT(IVel7SpcColumnItem, put_On, 15),
    VEL_AT(IVel7SpcColumnItem, put_Value, 17),
    VEL_AT(IVel7SpcColumnText, get_Str, 18),
    VEL_AT(IVel7SpcColumnText, get_LineCount, 19),
    VEL_AT(IVel7SpcColumnText, put_LineText, 20),
    VEL_AT(IVel7SpcColumnString, put_Str, 7),
    VEL_AT(IVel7SpcColumnDefinition, get_Name, 11),
    VEL_AT(IVel7SpcColumnDefinition, get_Type, 12),
    VEL_AT(IVel7SpcColumnDefinition, get_Number, 13),
    VEL_AT(IVel7SpcColumnDefinition, get_Is3D, 28),
    VEL_AT(IVel7SpcComments, get_Count, 12),
    VEL_AT(IVel7SpcComments, get_Item, 13),
    VEL_AT(IVel7SpcComments, Add, 15),
    VEL_AT(IVel7SpcComments, Remove, 16),
    VEL_AT(IVel7ComponentPropertyManager, GetProperties, 9),
    VEL_AT(IVel7ComponentPropertyManager, AddProperty, 10),
    VEL_AT(IVel7ComponentProperty, get_Id, 8),
    VEL_AT(IVel7ComponentProperty, put_Name, 11),
    VEL_AT(IVel7ComponentProperty, get_Name, 12),
    VEL_AT(IVel7ComponentProperty, put_Setting14, 14),
    VEL_AT(IVel7ComponentProperty, put_Setting20, 20),
    VEL_AT(IVel7ComponentProperty, Commit, 32),
    VEL_AT(IVel7ComponentProperty, put_Setting34, 34),
    VEL_AT(IVel7PropertyKeeper, SetValue, 8),
    VEL_AT(IVel7PropertyKeeper, GetValue, 9),
    VEL_AT(IVel7NamedEntries, Get, 16),
    VEL_AT(IVel7NamedEntries, Set, 18),
    VEL_AT(IVel7Frames, Activate, 16),
    VEL_AT(IVel7Frames, MakeCurrent, 17),
    VEL_AT(IVel7AuxLineMode, put_Mode, 7),
    VEL_AT(INMResponse, get_Xml, 8),
    VEL_AT(INMClient, Connect, 27),
    VEL_AT(INMClient, Disconnect, 28),
    VEL_AT(INMClient, SetInstrumentOptions, 29),
    VEL_AT(INMClient, Select, 30),
    VEL_AT(INMClient, PlacedResponse, 31),
    VEL_AT(INMClient, AttributeText, 34),
    VEL_AT(INMClient, DragParameters, 37),
    VEL_AT(INMClient, HotPoints, 38),
    VEL_AT(INMClient, ClientString, 39),
    VEL_AT(INMObjectInfo, ObjectResponse, 12),
    VEL_AT(INMObjectInfo, GetObjectInfo, 15),
    VEL_AT(INMObjectResponse, get_Xml, 7),
    VEL_AT(INMObjectData, get_Xml, 7),
    // Bulk refresh of spc objects, named values of elements, component blocks.
    VEL_AT(IVel7SpcObjects, get_Count, 12),
    VEL_AT(IVel7SpcObjects, get_Item, 13),
    VEL_AT(IVel7SpcObject, get_Origin, 43),
    VEL_AT(IVel7SpcObject, get_Geometry, 48),
    VEL_AT(IVel7PropertyKeeper, GetDataStore, 10),
    VEL_AT(IVel7DataStore, Find, 13),
    VEL_AT(IVel7DataStore, Add, 14),
    VEL_AT(IVel7StoreEntry, Find, 13),
    VEL_AT(IVel7StoreEntry, Add, 14),
    VEL_AT(IVel7PartFeatures, get_Frames, 7),
    VEL_AT(IRAZadi, get_Text, 26),
    VEL_AT(IRAZadi, Reset, 27),
    VEL_AT(IItemList, get_Count, 7),
    VEL_AT(IItemList, Add, 8),
    VEL_AT(IItemList, Item, 9),
    VEL_AT(ITester, CloseActiveDocument, 3),
    VEL_AT(ITester, CreateNewDocument, 4),
    VEL_AT(ITester, GetApplication, 5),
    VEL_AT(ITester, InsertTest, 6),
    VEL_AT(ITester, FastInsertTest, 7),
};

} // namespace

TEST(Contract, EveryMethodSitsAtTheHostsPosition)
{
    EXPECT_EQ(sim::VtableIndexOf(static_cast<HRESULT (STDMETHODCALLTYPE IUnknown::*)(REFIID, void**)>(&IUnknown::QueryInterface)), 0);
    EXPECT_EQ(sim::VtableIndexOf(&IDispatch::Invoke), 6);
    for (const Position& position : kPositions)
        EXPECT_EQ(position.compiled, position.documented) << position.member;
}

TEST(Contract, IdentifiersReadTheirRegistryForm)
{
    const GUID application = {0xE36BC97C, 0x39D6, 0x4402, {0x9C, 0x25, 0xC7, 0x00, 0x8A, 0x21, 0x7E, 0x02}};
    EXPECT_EQ(__uuidof(IVel5Application), application);
    const GUID provider = {0x02538BE1, 0x9E57, 0x4BB8, {0xB9, 0xFC, 0xB6, 0xD4, 0xDF, 0x83, 0x12, 0x0C}};
    EXPECT_EQ(CLSID_BOSimpleProvider, provider);
}
