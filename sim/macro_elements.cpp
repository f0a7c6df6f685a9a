#include "sim/macro_elements.h"

#include "sim/document.h"
#include "sim/shown_text.h"
#include "sim/velmar.h"

#include <algorithm>

namespace sim {

MacroElements::MacroElements(Velmar& velmar, Geometry& geometry, Document& document, Part& part)
    : velmar_(velmar), geometry_(geometry), document_(document), part_(part)
{
    part.V5().Method(IVel5Part::NewMacroElement, 0, [this](Args&) { return _variant_t(Make().V5().Primary()); });
    deletion_ = document.OnDeletion([this](IUnknown* object) { Deleted(object); });
}

MacroElements::~MacroElements()
{
    document_.ForgetDeletion(deletion_);
}

GeoEntity& MacroElements::Make()
{
    GeoEntity& macro = geometry_.AddMacro("macro" + std::to_string(made_.size() + 1), &part_);
    made_.push_back(&macro);
    std::vector<Object*>& features = geometry_.Shape(part_).features;
    features.push_back(&macro.Feature());
    velmar_.Undo().Record([this, &macro, &features] {
        std::erase(features, &macro.Feature());
        deleted_.push_back(&macro);
    });
    return macro;
}

std::vector<GeoEntity*> MacroElements::Live()
{
    std::vector<GeoEntity*> live;
    for (GeoEntity* macro : made_)
        if (std::find(deleted_.begin(), deleted_.end(), macro) == deleted_.end())
            live.push_back(macro);
    return live;
}

void MacroElements::Deleted(IUnknown* object)
{
    if (Part* part = velmar_.FindPart(object)) {
        for (GeoEntity* macro : Live()) {
            auto found = std::find(macro->inner.begin(), macro->inner.end(), &part->Feature());
            if (found == macro->inner.end())
                continue;
            const auto at = found - macro->inner.begin();
            macro->inner.erase(found);
            velmar_.Undo().Record([macro, at, part] { macro->inner.insert(macro->inner.begin() + at, &part->Feature()); });
        }
        return;
    }
    GeoEntity* entity = geometry_.EntityOf(object);
    const std::vector<GeoEntity*> live = Live();
    if (!entity || std::find(live.begin(), live.end(), entity) == live.end())
        return;
    deleted_.push_back(entity);
    std::vector<Object*>& features = geometry_.Shape(part_).features;
    const auto at = std::find(features.begin(), features.end(), &entity->Feature()) - features.begin();
    std::erase(features, &entity->Feature());
    velmar_.Undo().Record([this, entity, &features, at] {
        std::erase(deleted_, entity);
        features.insert(features.begin() + std::min<std::ptrdiff_t>(at, static_cast<std::ptrdiff_t>(features.size())), &entity->Feature());
    });
    // What the element holds goes with it.
    const std::vector<Object*> held = entity->inner;
    for (Object* member : held) {
        if (Part* part = velmar_.FindPart(member->Primary()))
            document_.Delete(part->V5().Primary());
        else if (GeoEntity* inner = geometry_.EntityOf(member->Primary()))
            document_.Delete(inner->V5().Primary());
    }
}

std::string MacroElements::Describe(GeoEntity& macro)
{
    std::string line = "set macro " + QuoteShown(macro.HostName());
    if (const DataStore::Section* values = part_.Store().SectionNamed(macro.Name() + "Def7", L"Нормсет")) {
        auto mark = values->find(L"UID");
        if (mark != values->end())
            line += ", marked " + ShownValue(mark->second);
    }
    line += ":";
    for (Object* member : macro.inner) {
        const Part* part = velmar_.FindPart(member->Primary());
        const GeoEntity* inner = part ? nullptr : geometry_.EntityOf(member->Primary());
        line += " " + (part ? QuoteShown(const_cast<Part*>(part)->V5().Text(IVel5Part::ComponentName))
                            : inner ? QuoteShown(inner->HostName()) : member->Name());
    }
    return line;
}

} // namespace sim
