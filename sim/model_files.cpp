#include "sim/model_files.h"

#include "hostapi/velmar.h"
#include "sim/journal.h"
#include "sim/text_file.h"
#include "sim/velmar.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sim {

namespace {

// A collection walked with 3 (first) and 5 (next), counted with 2, over what the source lists then.
void ServeWalk(Object& collection, std::function<const std::vector<ObjectRef>&()> source)
{
    auto cursor = std::make_shared<size_t>(0);
    auto at = [source, cursor]() {
        const std::vector<ObjectRef>& items = source();
        return Handed(*cursor < items.size() ? items[*cursor].get() : nullptr);
    };
    collection.Method(IVel5FeatureCollection::First, 0, [cursor, at](Args&) {
            *cursor = 0;
            return at();
        })
        .Method(IVel5FeatureCollection::Next, 0, [cursor, at](Args&) {
            ++*cursor;
            return at();
        })
        .Method(IVel5FeatureCollection::Count, 0, [source](Args&) { return _variant_t(static_cast<long>(source().size())); });
}

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

} // namespace

bool WriteModelFile(const std::wstring& path, const ModelFile& model)
{
    std::ofstream out{std::filesystem::path(path), std::ios::binary | std::ios::trunc};
    if (!out)
        return false;
    out << "# a model file of the stand-in Velmar\n";
    for (const ModelVariable& variable : model.variables) {
        char value[32];
        std::snprintf(value, sizeof value, "%g", variable.value);
        out << "variable " << Utf8(variable.name) << " " << value << " " << (variable.setting6 ? 1 : 0) << "\n";
    }
    for (const ModelComponent& component : model.components)
        out << "component " << Utf8(component.file) << " " << (component.setting9 ? 1 : 0) << "\n";
    return static_cast<bool>(out);
}

bool ReadModelFile(const std::wstring& path, ModelFile& model)
{
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes)
        return false;
    ModelFile read;
    std::istringstream lines(*bytes);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const size_t kindEnd = line.find(' ');
        const size_t flagAt = line.rfind(' ');
        if (kindEnd == std::string::npos || flagAt <= kindEnd)
            return false;
        const std::string kind = line.substr(0, kindEnd);
        const std::string middle = line.substr(kindEnd + 1, flagAt - kindEnd - 1);
        const bool flag = line.substr(flagAt + 1) == "1";
        if (kind == "variable") {
            const size_t space = middle.find(' ');
            if (space == std::string::npos)
                return false;
            read.variables.push_back({Wide(middle.substr(0, space)), std::atof(middle.substr(space + 1).c_str()), flag});
        } else if (kind == "component") {
            read.components.push_back({Wide(middle), flag});
        } else {
            return false;
        }
    }
    model = std::move(read);
    return true;
}

ModelFiles::ModelFiles(Velmar& velmar) : velmar_(velmar)
{
    velmar.App5()
        .Method(IVel5Application::NewDocument3D, 0, [this](Args&) { return Handed(NewDocument().v5.get()); })
        .Method(IVel5Application::ChooseModelFile, 4, [this](Args& args) {
            Question question;
            question.kind = "file";
            question.text = args.Text(1) + L"." + args.Text(0);
            question.caption = args.Text(2);
            args.Bool(3);
            const _variant_t answer = velmar_.User().Ask(question, _variant_t(L""));
            return _variant_t(_bstr_t(answer));
        });
}

ModelDocument& ModelFiles::NewDocument()
{
    ModelDocument& document = documents_.emplace_back();
    ModelDocument* self = &document;
    const std::string name = "file" + std::to_string(documents_.size()) + "doc";
    document.v5 = velmar_.NewObject(name + "5");
    document.v7 = velmar_.NewObject(name + "7");
    document.part = velmar_.NewObject(name + "Part");
    document.host = velmar_.NewObject(name + "Host");
    ObjectRef variables = velmar_.NewObject(name + "Vars");
    ObjectRef entries = velmar_.NewObject(name + "Entries");
    document.v5->Supports(__uuidof(IVel5Document3D))
        .Method(IVel5Document3D::OpenFile, 2, [this, self](Args& args) {
            self->file = args.Text(0);
            self->forProcessing = args.Bool(1);
            self->opened = ReadModelFile(self->file, self->model);
            if (self->opened)
                Load(*self);
            return _variant_t(self->opened);
        })
        .Method(IVel5Document3D::PartByCode, 1, [self](Args& args) {
            return args.Int32(0) == VelPartTop && self->opened ? Handed(self->part.get()) : _variant_t();
        })
        .Method(IVel5Document3D::DeleteObject, 1, [this, self](Args& args) {
            Object* entry = Object::From(args.Unknown(0));
            if (refuseRemoval)
                return _variant_t(false);
            for (size_t i = 0; i < self->entries.size(); ++i)
                if (self->entries[i].get() == entry) {
                    self->entries.erase(self->entries.begin() + static_cast<std::ptrdiff_t>(i));
                    self->model.components.erase(self->model.components.begin() + static_cast<std::ptrdiff_t>(i));
                    return _variant_t(true);
                }
            throw Fail{E_INVALIDARG, 0};
        })
        .Returns(IVel5Document3D::Rebuild, true)
        .Method(IVel5Document3D::Save, 0, [this, self](Args&) {
            Save(*self);
            return _variant_t(true);
        })
        .Method(IVel5Document3D::Show, 1, [self](Args& args) {
            args.Int16(0);
            self->shown = true;
            return _variant_t(true);
        });
    document.v7->Face<IVel7Document3D>().On<&IVel7Document3D::Close>(13, [self](long, VARIANT_BOOL* closed) {
        self->closed = true;
        *closed = VARIANT_TRUE;
    });
    velmar_.Twin(*document.v5, *document.v7);
    document.part->Supports(__uuidof(IVel5Part))
        .Method(IVel5Part::Variables, 0, [variables](Args&) { return Handed(variables.get()); })
        .Method(IVel5Part::FreeFromLibrary, 0, [self](Args&) {
            ++self->freed;
            return _variant_t(true);
        })
        .Method(IVel5Part::Rebuild, 1, [](Args& args) {
            args.Bool(0);
            return _variant_t(true);
        })
        .Returns(IVel5Part::HostObject, Handed(document.host.get()));
    document.host->Supports(__uuidof(IVel5Object)).Method(IVel5Object::Features, 2, [entries](Args& args) {
        args.Bool(0);
        args.Bool(1);
        return Handed(entries.get());
    });
    variables->Supports(__uuidof(IVel5VariableCollection));
    ServeWalk(*variables, [self]() -> const std::vector<ObjectRef>& { return self->variables; });
    entries->Supports(__uuidof(IVel5FeatureCollection));
    ServeWalk(*entries, [self]() -> const std::vector<ObjectRef>& { return self->entries; });
    return document;
}

void ModelFiles::Load(ModelDocument& document)
{
    const std::string name = document.v5->Name().substr(0, document.v5->Name().size() - 4);
    document.variables.clear();
    for (ModelVariable& variable : document.model.variables) {
        ObjectRef object = velmar_.NewObject(name + "Var" + Utf8(variable.name));
        ModelVariable* data = &variable;
        object->Supports(__uuidof(IVel5Variable))
            .Method(IVel5Variable::Name, 0, [data](Args&) { return _variant_t(data->name.c_str()); })
            .Method(IVel5Variable::Value, 0, [data](Args&) { return _variant_t(data->value); })
            .Put(IVel5Variable::Value, [data](Args&, const VARIANT& value) { data->value = _variant_t(value); })
            .Method(IVel5Variable::Setting6, 0, [data](Args&) { return _variant_t(data->setting6); })
            .Put(IVel5Variable::Setting6, [data](Args&, const VARIANT& value) { data->setting6 = _variant_t(value); });
        document.variables.push_back(object);
    }
    document.entries.clear();
    for (size_t i = 0; i < document.model.components.size(); ++i) {
        ObjectRef entry = velmar_.NewObject(name + "Entry" + std::to_string(i + 1));
        ObjectRef part = velmar_.NewObject(name + "Comp" + std::to_string(i + 1));
        part->Supports(__uuidof(IVel5Part)).Property(IVel5Part::FileName, document.model.components[i].file.c_str());
        entry->Supports(__uuidof(IVel5Object))
            .Property(IVel5Object::Type, _variant_t(static_cast<short>(VelTypePart)))
            .Returns(IVel5Object::Target, Handed(part.get()))
            .Property(IVel5Object::Setting9, document.model.components[i].setting9);
        document.entries.push_back(entry);
    }
}

void ModelFiles::Save(ModelDocument& document)
{
    ++document.saves;
    // The entries' settings as the library left them.
    for (size_t i = 0; i < document.entries.size(); ++i)
        document.model.components[i].setting9 = document.entries[i]->Bool(IVel5Object::Setting9);
    WriteModelFile(document.file, document.model);
}

} // namespace sim
