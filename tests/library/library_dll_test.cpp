// The built library as Velmar sees it: loaded from its file, its exports by name and ordinal, its
// resources, its display name and help file.
#include "core/files.h"
#include "core/registry.h"
#include "core/scratch_folder.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "sim/drawing.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

std::wstring BuiltLibrary()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().wstring() + L"\\normset.dll";
}

// A loaded library, freed at the end of the scope.
class Library {
public:
    explicit Library(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {}
    ~Library()
    {
        if (module_)
            FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    HMODULE get() const { return module_; }
    template <class F>
    F Export(const char* name) const
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

using TextExport = const wchar_t*(WINAPI*)();

// A copy of the built library in a folder of its own: a fresh module with fresh process-wide state.
std::wstring CopyLibraryTo(const std::wstring& folder)
{
    std::filesystem::create_directories(folder);
    const std::wstring copy = folder + L"normset.dll";
    std::filesystem::copy_file(BuiltLibrary(), copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

// The export directory of a loaded module.
std::set<std::string> ExportedNames(HMODULE module, DWORD* functionCount)
{
    auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
    std::set<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        result.insert(reinterpret_cast<const char*>(base + names[i]));
    *functionCount = 0;
    for (DWORD i = 0; i < exports->NumberOfFunctions; ++i)
        *functionCount += functions[i] != 0;
    return result;
}

const wchar_t NormsetKey[] = L"Software\\Orbex\\Normset";

// Sets (or, with an empty text, removes) the machine's UI language value for the scope.
class ScopedLanguageValue {
public:
    explicit ScopedLanguageValue(const std::wstring& language)
    {
        RegKey key = CreateRegKey(HKEY_LOCAL_MACHINE, NormsetKey, KEY_READ | KEY_WRITE);
        previous_ = key ? ReadRegString(key.get(), L"Language", L"\x01") : L"\x01";
        Set(language);
    }
    ~ScopedLanguageValue() { Set(previous_ == L"\x01" ? L"" : previous_); }

private:
    static void Set(const std::wstring& language)
    {
        RegKey key = CreateRegKey(HKEY_LOCAL_MACHINE, NormsetKey, KEY_WRITE);
        if (language.empty())
            RegDeleteValueW(key.get(), L"Language");
        else
            RegSetValueExW(key.get(), L"Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(language.c_str()),
                           static_cast<DWORD>((language.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring previous_;
};

} // namespace

TEST(LibraryDll, ExportsTheProtocolByNameAndOrdinalAndNothingElse)
{
    Library library(BuiltLibrary());
    ASSERT_NE(library.get(), nullptr);
    const std::vector<std::pair<const char*, int>> expected = {
        {"LIBRARYENTRY", 1},       {"LIBRARYID", 2},          {"LIBRARYNAMEW", 3},
        {"DisplayLibraryNameW", 4}, {"LibToolBarId", 5},      {"LibraryHintTipsBeginID", 6},
        {"LibObjInterfaceEntry", 7}, {"SELECTFILTERPROC", 8},   {"SELECTCALLBACKPROC", 9},
        {"MEASUREFILTERPROC3D", 10}, {"MEASUREFILTERPROC2D", 11},
        {"LIBRARYHELPFILEW", 14},  {"LibraryBmpBeginID", 16}, {"LibInterfaceNotifyEntry", 17},
        {"NMInsert2D", 12},        {"NMInsert3D", 13},        {"GetITester", 15},
        {"NMSelectEx", 18},        {"NMReplace2D", 19},       {"NMInsertSpc", 20},
    };
    std::set<std::string> names;
    for (const auto& [name, ordinal] : expected) {
        FARPROC byName = GetProcAddress(library.get(), name);
        EXPECT_NE(byName, nullptr) << name;
        EXPECT_EQ(byName, GetProcAddress(library.get(), MAKEINTRESOURCEA(ordinal))) << name;
        names.insert(name);
    }
    DWORD functions = 0;
    EXPECT_EQ(ExportedNames(library.get(), &functions), names);
    EXPECT_EQ(functions, expected.size());
}

TEST(LibraryDll, IdentificationExportsAnswerTheirConstants)
{
    Library library(BuiltLibrary());
    ASSERT_NE(library.get(), nullptr);
    EXPECT_EQ(library.Export<unsigned(WINAPI*)()>("LIBRARYID")(), 2222u);
    EXPECT_EQ(std::wstring(library.Export<TextExport>("LIBRARYNAMEW")()), L"Нормсет");
    const auto toolbar = library.Export<int(WINAPI*)(int, int)>("LibToolBarId");
    EXPECT_EQ(toolbar(1, 0), 4444);
    EXPECT_EQ(toolbar(1, 1), -1);
    EXPECT_EQ(toolbar(2, 0), -1);
    EXPECT_EQ(toolbar(0, 0), -1);
    EXPECT_EQ(library.Export<int(WINAPI*)()>("LibraryHintTipsBeginID")(), 2000);
    const auto bitmaps = library.Export<int(WINAPI*)(unsigned)>("LibraryBmpBeginID");
    EXPECT_EQ(bitmaps(0), 1000);
    EXPECT_EQ(bitmaps(1), 2000);
    EXPECT_EQ(bitmaps(2), 3000);
    EXPECT_EQ(bitmaps(3), 4000);
    EXPECT_EQ(bitmaps(4), 0);
    EXPECT_EQ(bitmaps(0xFFFFFFFFu), 0);
}

TEST(LibraryDll, MenuToolbarListAndNameAreInTheResources)
{
    Library library(BuiltLibrary());
    ASSERT_NE(library.get(), nullptr);
    HMENU menu = LoadMenuW(library.get(), MAKEINTRESOURCEW(2222));
    ASSERT_NE(menu, nullptr);
    const std::vector<std::wstring> captions = {L"Вставить элемент",
                                                L"Найти и заменить",
                                                L"Обновить ссылки на модели",
                                                L"Создать объекты спецификации",
                                                L"Создать деталь на базе стандартной",
                                                L"Настройки",
                                                L"Справка"};
    ASSERT_EQ(GetMenuItemCount(menu), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(GetMenuItemID(menu, i), static_cast<UINT>(i + 1));
        wchar_t caption[128] = {};
        GetMenuStringW(menu, i, caption, 128, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(caption), captions[i]);
    }
    DestroyMenu(menu);

    HRSRC list = FindResourceW(library.get(), MAKEINTRESOURCEW(4444), MAKEINTRESOURCEW(10));  // RT_RCDATA
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(SizeofResource(library.get(), list), 16u);
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(library.get(), list)));
    EXPECT_EQ(std::vector<WORD>(words, words + 8), (std::vector<WORD>{1, 2, 3, 4, 5, 6, 7, 0xFFFF}));

    wchar_t name[64] = {};
    EXPECT_EQ(LoadStringW(library.get(), 4444, name, 64), 7);
    EXPECT_EQ(std::wstring(name), L"Нормсет");

    EXPECT_NE(FindResourceW(library.get(), MAKEINTRESOURCEW(105), MAKEINTRESOURCEW(5)), nullptr);  // RT_DIALOG
    EXPECT_EQ(GetFileVersionString(BuiltLibrary()), L"1.0.0.0");
}

TEST(LibraryDll, ToolbarBitmapsComeInFourSizes)
{
    Library library(BuiltLibrary());
    ASSERT_NE(library.get(), nullptr);
    const int sizes[] = {16, 24, 32, 48};
    for (int s = 0; s < 4; ++s) {
        const int base = (s + 1) * 1000;
        EXPECT_EQ(FindResourceW(library.get(), MAKEINTRESOURCEW(base), MAKEINTRESOURCEW(2)), nullptr);
        EXPECT_EQ(FindResourceW(library.get(), MAKEINTRESOURCEW(base + 8), MAKEINTRESOURCEW(2)), nullptr);
        for (int command = 1; command <= 7; ++command) {
            const int id = base + command;
            HRSRC found = FindResourceW(library.get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2));  // RT_BITMAP
            ASSERT_NE(found, nullptr) << id;
            const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(library.get(), found)));
            EXPECT_EQ(info->biWidth, sizes[s]) << id;
            EXPECT_EQ(info->biHeight, sizes[s]) << id;
            EXPECT_EQ(info->biBitCount, id == 1001 ? 8 : 24) << id;
            HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(library.get(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
            EXPECT_NE(bitmap, nullptr) << id;
            DeleteObject(bitmap);
        }
    }
}

TEST(LibraryDll, EveryPanelButtonHasItsImage)
{
    Library library(BuiltLibrary());
    ASSERT_NE(library.get(), nullptr);
    const int ids[] = {9001, 9002, 9003, 9004, 9005, 9006, 9007, 9008, 9013, 9014, 9017, 9018, 9019, 9020,
                       9021, 9022, 9023, 9026, 9027, 9028, 9029, 9030, 9031, 9032, 9035, 9036, 9040, 9041,
                       9042, 9043, 9044, 9045, 9046, 9047, 9050, 9051, 9052, 9053, 9054, 9055};
    for (int id : ids) {
        HRSRC found = FindResourceW(library.get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2));  // RT_BITMAP
        ASSERT_NE(found, nullptr) << id;
        const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(library.get(), found)));
        EXPECT_EQ(info->biWidth, 16) << id;
        EXPECT_EQ(info->biHeight, 16) << id;
    }
    EXPECT_EQ(FindResourceW(library.get(), MAKEINTRESOURCEW(9009), MAKEINTRESOURCEW(2)), nullptr);
}

TEST(LibraryDll, TheModuleHandleIsWholeIn31BitsAndTheCallbacksAnswer0WithoutAPanel)
{
    // Velmar knows the library's module only as a 32-bit integer.
    Library library(BuiltLibrary());
    ASSERT_NE(library.get(), nullptr);
    EXPECT_LT(reinterpret_cast<ULONG_PTR>(library.get()), 0x80000000u);
    IDispatchPtr object;
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    object.CreateInstance(L"Scripting.Dictionary");
    ASSERT_NE(object, nullptr);
    const auto filter = library.Export<BOOL(WINAPI*)(IDispatch*)>("SELECTFILTERPROC");
    const auto pick = library.Export<BOOL(WINAPI*)(IDispatch*, LONG_PTR)>("SELECTCALLBACKPROC");
    EXPECT_EQ(filter(object), FALSE);
    EXPECT_EQ(filter(nullptr), FALSE);
    EXPECT_EQ(pick(object, 1), FALSE);
    EXPECT_EQ(pick(nullptr, 0), FALSE);
    const auto measure3D = library.Export<int(WINAPI*)(IDispatch*)>("MEASUREFILTERPROC3D");
    const auto measure2D = library.Export<int(WINAPI*)(LONG_PTR, double*, double*, LONG_PTR, LONG_PTR, int)>("MEASUREFILTERPROC2D");
    double x = 1, y = 2;
    EXPECT_EQ(measure3D(object), 0);
    EXPECT_EQ(measure2D(0, &x, &y, 0, 0, 0), 0);
    object = nullptr;
    CoUninitialize();
}

// Velmar loads a hot point's cursor from the module the point names: the three must be cursor groups there.
TEST(LibraryDll, TheHotPointCursorsAreCursorGroupsAndOnlyType1HasHotPoints)
{
    Library library(BuiltLibrary());
    ASSERT_NE(library.get(), nullptr);
    for (int id : {111, 112, 114}) {
        EXPECT_NE(FindResourceW(library.get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(12)), nullptr) << id;  // RT_GROUP_CURSOR
        EXPECT_NE(LoadImageW(library.get(), MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_SHARED), nullptr) << id;
    }
    const auto entry = library.Export<void(WINAPI*)(int, LONG_PTR, IUnknown**)>("LibObjInterfaceEntry");
    IUnknown* object = reinterpret_cast<IUnknown*>(1);
    entry(2, 0, &object);
    EXPECT_EQ(object, nullptr);
    entry(1, 0, nullptr);   // no out pointer: nothing written, nothing made
}

TEST(LibraryDll, DisplayNameIsTranslatedByTheMachinesLanguageAndCutTo63Characters)
{
    ScratchFolder scratch;
    {
        // No language value: the name as it is, even with language files beside the library.
        ScopedLanguageValue none(L"");
        const std::wstring folder = scratch / L"plain\\";
        const std::wstring copy = CopyLibraryTo(folder);
        ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 Нормсет\r\n", folder + L"default.lng"));
        ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 Normset\r\n", folder + L"english.lng"));
        Library library(copy);
        ASSERT_NE(library.get(), nullptr);
        EXPECT_EQ(std::wstring(library.Export<TextExport>("DisplayLibraryNameW")()), L"Нормсет");
    }
    ScopedLanguageValue english(L"english");
    {
        const std::wstring folder = scratch / L"english\\";
        const std::wstring copy = CopyLibraryTo(folder);
        ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 Нормсет\r\n", folder + L"default.lng"));
        ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 Normset\r\n", folder + L"english.lng"));
        Library library(copy);
        ASSERT_NE(library.get(), nullptr);
        const auto name = library.Export<TextExport>("DisplayLibraryNameW");
        const wchar_t* buffer = name();
        EXPECT_EQ(std::wstring(buffer), L"Normset");
        EXPECT_EQ(name(), buffer);  // the same buffer on every call
        EXPECT_EQ(std::wstring(library.Export<TextExport>("LIBRARYNAMEW")()), L"Нормсет");
    }
    {
        // A language value without its files leaves the name untranslated.
        Library library(CopyLibraryTo(scratch / L"nofiles\\"));
        ASSERT_NE(library.get(), nullptr);
        EXPECT_EQ(std::wstring(library.Export<TextExport>("DisplayLibraryNameW")()), L"Нормсет");
    }
    {
        const std::wstring folder = scratch / L"long\\";
        const std::wstring copy = CopyLibraryTo(folder);
        const std::wstring longName(100, L'Ж');
        ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 Нормсет\r\n", folder + L"default.lng"));
        ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 " + longName + L"\r\n", folder + L"english.lng"));
        Library library(copy);
        ASSERT_NE(library.get(), nullptr);
        EXPECT_EQ(std::wstring(library.Export<TextExport>("DisplayLibraryNameW")()), longName.substr(0, 63));
    }
}

TEST(LibraryDll, HelpFileIsBesideTheLibraryElseInTheFolderAbove)
{
    ScratchFolder scratch;
    const std::wstring folder = scratch / L"lib\\";
    Library library(CopyLibraryTo(folder));
    ASSERT_NE(library.get(), nullptr);
    const auto help = library.Export<TextExport>("LIBRARYHELPFILEW");
    // The folder above is named whether the file is there or not.
    EXPECT_EQ(std::wstring(help()), scratch.Path() + L"VAZEZadAzuduv.chm");
    ASSERT_TRUE(WriteUnicodeFile(L"help", folder + L"VAZEZadAzuduv.chm"));
    EXPECT_EQ(std::wstring(help()), folder + L"VAZEZadAzuduv.chm");
}

namespace {

using NotifyExport = int(WINAPI*)(IDispatch*);

// The library loaded by Velmar and handed the stand-in application, as Velmar does at start-up.
class LibraryLifetime : public sim::StandInTest {
protected:
    std::wstring FreshLibrary() { return CopyLibraryTo(folder_.Path() + L"lifetime\\"); }
    IDispatch* Application() { return velmar().App5().Ptr(); }

private:
    ScratchFolder folder_;
};

} // namespace

TEST_F(LibraryLifetime, UnloadingTheLibraryReleasesVelmarsApplicationObjectsAndEventConnections)
{
    sim::Document& document = velmar().OpenDocument(5, "asm");
    {
        Library library(FreshLibrary());
        ASSERT_NE(library.get(), nullptr);
        auto notify = library.Export<NotifyExport>("LibInterfaceNotifyEntry");
        ASSERT_NE(notify, nullptr);

        EXPECT_EQ(notify(Application()), 1);
        EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"app5.103", "app5.50(&,&,&,&)", "app5.103",
                                                                "app5Points#4(events,&)", "app5Point#5(object,&)"}));
        EXPECT_EQ(notify(Application()), 1) << "a second notification finds the slots filled";
        EXPECT_EQ(journal().Count("app5.103"), 2u);
        std::vector<std::string> escapes;
        velmar().Events().Fire(3, {_variant_t(document.V5().Primary()), _variant_t(6L)}, escapes);
        EXPECT_EQ(velmar().Events().Sinks(), 1u);
        EXPECT_EQ(document.Events()->Sinks(), 1u);
    }
    // The teardown fails when a reference to the stand-in's objects is still held: the library's detach
    // must have released both slots and let go of every connection.
    EXPECT_EQ(velmar().Events().Sinks(), 0u);
    EXPECT_EQ(document.Events()->Sinks(), 0u);

    // Before host version 1402 the library does not listen.
    UseVelmar({14, 0, 1, 0});
    Library library(FreshLibrary());
    ASSERT_NE(library.get(), nullptr);
    EXPECT_EQ(library.Export<NotifyExport>("LibInterfaceNotifyEntry")(Application()), 1);
    EXPECT_EQ(velmar().Events().Sinks(), 0u);
}

TEST_F(LibraryLifetime, VelmarFindsTheCallbacksByTheModulesIntegerAndTheLibraryAnswersThem)
{
    Library library(FreshLibrary());
    ASSERT_NE(library.get(), nullptr);
    sim::Document& document = velmar().OpenDocument(5);
    auto placement = ObjectAs<IVel5PlacementInfo>(V5Method(document.V5().As<IVel5Document3D>(), IVel5Document3D::PlacementInfo,
                                                           static_cast<IDispatch*>(nullptr)));
    const long module = static_cast<long>(reinterpret_cast<LONG_PTR>(library.get()));
    V5Method(placement, IVel5PlacementInfo::FilterCallback, L"SELECTFILTERPROC", module, static_cast<IDispatch*>(nullptr));
    V5Method(placement, IVel5PlacementInfo::PickCallback, L"SELECTCALLBACKPROC", module, static_cast<IDispatch*>(nullptr));
    velmar().Panels().AddPickable("face", *velmar().NewObject("face"));
    velmar().User().Answer("panel", _variant_t(L"pick face; clear"));
    EXPECT_FALSE(static_cast<bool>(V5Method(document.V5().As<IVel5Document3D>(), IVel5Document3D::RunProcess, 3L)));
    EXPECT_EQ(velmar().Panels().Log(), (std::vector<std::string>{"run 3D, mode 3", "step \"pick face\": filter 0",
                                                                 "step \"clear\": callback 0",
                                                                 "end: cancelled (the script ran out)"}));

    // The measure picks find their filters the same way; without a measure tool they take nothing.
    velmar().User().Answer("panel", _variant_t(L"pick face"));
    EXPECT_EQ(V5Method(document.V5().As<IVel5Document3D>(), IVel5Document3D::PickEntity, static_cast<IDispatch*>(nullptr),
                       L"MEASUREFILTERPROC3D", L"", module, static_cast<IDispatch*>(nullptr)),
              _variant_t());
    EXPECT_EQ(velmar().Panels().Log().back(), "end: nothing picked");
    sim::Document& drawing = velmar().OpenDocument(1);
    auto request = NewStructure<IVel5RequestInfo2D>(velmar().App5().As<IVel5Application>(), 10);
    V5Put(request, IVel5RequestInfo2D::Setting5, 1L);
    V5Method(request, IVel5RequestInfo2D::FilterCallback, L"MEASUREFILTERPROC2D", module, static_cast<IDispatch*>(nullptr));
    velmar().User().Answer("point", _variant_t(L"3,4"));
    double x = 0, y = 0;
    V5Method(drawing.V5().As<IVel5Document2D>(), IVel5Document2D::PointRequest, request, ByRef(x), ByRef(y), _variant_t());
    EXPECT_EQ(velmar().Drawings().Of(drawing.V5())->Picks(), std::vector<std::string>{"click 3, 4: 0"});
}
