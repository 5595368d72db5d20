#include "wyxcore/plugin_call.h"

#include <exception>
#include <new>

#include "wyxcore/exception.h"
#include "wyxcore/status.h"

void CallPlugin(const std::string& plugin, int failure, const std::function<void()>& call) {
    try {
        call();
    } catch (const TWYXException&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw TWYXException(kWyxOutOfMemory, plugin);
    } catch (const std::exception& e) {
        throw TWYXException(failure, plugin + ": " + e.what());
    } catch (...) {
        throw TWYXException(failure, plugin + ": an exception of unknown type");
    }
}
