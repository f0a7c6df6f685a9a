#include "sim/attribute_model.h"

#include "hostapi/velmar.h"
#include "sim/velmar.h"

namespace sim {

AttributeModel::AttributeModel(Velmar& velmar)
{
    manager_ = velmar.NewObject("attrManager");
    manager_->Supports(__uuidof(IVel5AttributeManager));
    Object* manager = manager_.get();
    velmar.App5()
        .Method(IVel5Application::AttributeManager, 0, [manager](Args&) { return _variant_t(manager->Primary()); })
        .Method(IVel5Application::LibraryFilePath, 2, [&velmar](Args& args) {
            const std::wstring name = args.Text(0);
            args.Int32(1);
            return _variant_t((velmar.SystemFolder() + L"\\" + name).c_str());
        });
}

} // namespace sim
