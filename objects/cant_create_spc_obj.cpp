#include "objects/cant_create_spc_obj.h"

#include "core/translate.h"

FailureDescription CantCreateSpcObj::Describe() const
{
    return InternalErrorDescription(L"Internal error!", Translate(L"Не удалось создать объект спецификации."));
}
