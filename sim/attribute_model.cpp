#include "sim/attribute_model.h"

#include "hostapi/velmar.h"
#include "sim/velmar.h"

#include <algorithm>
#include <memory>

namespace sim {

namespace {

// The header's values: the user-parameter structure it took last (7).
constexpr int kTakenValues = -7;

} // namespace

AttributeModel::AttributeModel(Velmar& velmar) : velmar_(velmar)
{
    manager_ = velmar.NewObject("attrManager");
    manager_->Supports(__uuidof(IVel5AttributeManager))
        .Method(IVel5AttributeManager::CreateAttribute, 4, [this](Args& args) {
            Object* owner = Object::From(args.Unknown(0));
            Object* header = Object::From(args.Unknown(1));
            if (!owner || !header)
                throw Fail{E_INVALIDARG, owner ? 1 : 0};
            if (refuseCreation_ > 0) {
                --refuseCreation_;
                return _variant_t();
            }
            Attribute attribute;
            attribute.type = args.Double(2);
            attribute.library = args.Text(3);
            for (int field = 1; field <= 4; ++field)
                attribute.fields.push_back(header->Long(field));
            if (Object* values = Object::From(V_VT(&header->Value(kTakenValues)) == VT_DISPATCH ? V_DISPATCH(&header->Value(kTakenValues)) : nullptr))
                for (const ValueItemData& item : velmar_.UserParams().Read(*values).items) {
                    attribute.values.push_back(item.narrow);
                    attribute.flags.push_back(item.flag);
                }
            attribute.object = velmar_.NewObject("attribute");
            attributes_[owner].push_back(attribute);
            velmar_.Undo().Record([this, owner, made = attribute.object.get()] {
                std::erase_if(attributes_[owner], [made](const Attribute& a) { return a.object.get() == made; });
            });
            return Handed(attribute.object.get());
        })
        .Method(IVel5AttributeManager::DeleteAttribute, 3, [this](Args& args) {
            Object* owner = Object::From(args.Unknown(0));
            Object* attribute = Object::From(args.Unknown(1));
            args.Text(2);
            std::vector<Attribute>& list = attributes_[owner];
            auto found = std::find_if(list.begin(), list.end(), [&](const Attribute& a) { return a.object.get() == attribute; });
            if (found == list.end())
                return _variant_t(false);
            velmar_.Undo().Record([&list, index = found - list.begin(), kept = *found] { list.insert(list.begin() + index, kept); });
            list.erase(found);
            return _variant_t(true);
        });
    Object* manager = manager_.get();
    velmar.App5()
        .Method(IVel5Application::AttributeManager, 0, [manager](Args&) { return _variant_t(manager->Primary()); })
        .Method(IVel5Application::LibraryFilePath, 2, [&velmar](Args& args) {
            const std::wstring name = args.Text(0);
            args.Int32(1);
            return _variant_t((velmar.SystemFolder() + L"\\" + name).c_str());
        });
}

ObjectRef AttributeModel::NewHeader()
{
    ObjectRef header = velmar_.NewObject("attrHeader");
    Object* self = header.get();
    header->Supports(__uuidof(IVel5AttributeHeader))
        .AnyProperty()
        .Method(IVel5AttributeHeader::Init, 0, [self](Args&) {
            for (int field = 1; field <= 5; ++field)
                self->Value(field) = _variant_t();
            return _variant_t(true);
        })
        .Method(IVel5AttributeHeader::SetValues, 1, [this, self](Args& args) {
            if (refuseValues_ > 0) {
                --refuseValues_;
                return _variant_t(false);
            }
            self->Value(kTakenValues) = _variant_t(static_cast<IDispatch*>(args.Object(0)));
            return _variant_t(true);
        });
    return header;
}

void AttributeModel::ServeObject(Object& object)
{
    Object* owner = &object;
    object.Method(IVel5Object::Attributes, 5, [this, owner](Args& args) {
        for (unsigned i = 0; i < 4; ++i)
            if (args.Int32(i) != 0)
                throw Fail{E_INVALIDARG, static_cast<int>(i)};
        const double type = args.Double(4);
        ObjectRef collection = velmar_.NewObject("attributes");
        auto ofType = [this, owner, type]() {
            std::vector<Object*> found;
            for (const Attribute& attribute : attributes_[owner])
                if (attribute.type == type)
                    found.push_back(attribute.object.get());
            return found;
        };
        auto cursor = std::make_shared<size_t>(0);
        collection->Method(IVel5AttributeCollection::Count, 0, [ofType](Args&) { return _variant_t(static_cast<long>(ofType().size())); })
            .Method(IVel5AttributeCollection::First, 0, [ofType, cursor](Args&) {
                const std::vector<Object*> found = ofType();
                *cursor = 0;
                return Handed(found.empty() ? nullptr : found.front());
            })
            .Method(IVel5AttributeCollection::Next, 0, [ofType, cursor](Args&) {
                const std::vector<Object*> found = ofType();
                return Handed(++*cursor < found.size() ? found[*cursor] : nullptr);
            })
            .Returns(IVel5AttributeCollection::Refresh, true);
        return Handed(collection.get());
    });
}

} // namespace sim
