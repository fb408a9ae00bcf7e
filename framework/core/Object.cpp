#include "Object.h"

#include "Reader.h"

#include <map>

void TPersistent::Assign(TPersistent* source)
{
    if (source)
        source->AssignTo(this);
    else
        AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest)
{
    throw EConvertError(std::string("Cannot assign a ") + ClassName() + " to a " + (dest ? dest->ClassName() : "nil"));
}

bool TPersistent::ReadProperty(const std::string& name, TReader& reader)
{
    (void)name;
    (void)reader;
    return false;
}

TPersistent* TPersistent::PropertyObject(const std::string& name)
{
    (void)name;
    return nullptr;
}

namespace {
// Built on first use, so that nothing is constructed before the program runs.
std::map<std::string, TComponentFactory>& Registry()
{
    static std::map<std::string, TComponentFactory> registry;
    return registry;
}
}  // namespace

void RegisterClass(const char* name, TComponentFactory factory)
{
    Registry()[name] = factory;
}

TComponentFactory FindClass(const std::string& name)
{
    auto it = Registry().find(name);
    return it == Registry().end() ? nullptr : it->second;
}
