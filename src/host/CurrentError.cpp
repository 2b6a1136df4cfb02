#include "host/CurrentError.h"

#include <cxxabi.h>
#include <dlfcn.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <typeinfo>

namespace host {

namespace {

std::string demangle(const char* name)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> readable(abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    return status == 0 && readable ? std::string(readable.get()) : std::string(name);
}

std::string currentMessage()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "unknown exception";
    }
}

} // namespace

ErrorDescription DescribeCurrentException()
{
    const std::type_info* type = abi::__cxa_current_exception_type();
    return {type == nullptr ? std::string("unknown") : demangle(type->name()), currentMessage()};
}

unsigned long long ModuleOffset(const void* code)
{
    Dl_info info{};
    if (code == nullptr || ::dladdr(code, &info) == 0 || info.dli_fbase == nullptr) {
        return 0;
    }
    return static_cast<unsigned long long>(static_cast<const char*>(code) - static_cast<const char*>(info.dli_fbase));
}

} // namespace host
