// Windows' own IPMI driver, reached through WMI: the RequestResponse method of
// the Microsoft_IPMI class in root\WMI. COM is set up by the transport and
// released with it, on the collector's thread.
#include <windows.h>
#include <oleauto.h>
#include <wbemidl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "ipmi_transport.h"

namespace {

// The controller answers in milliseconds; a busy one within a few seconds.
const long kReplyBoundMs = 5000;
const unsigned char kBmcAddress = 0x20;

template <class T>
struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

struct Bstr {
    BSTR b;
    explicit Bstr(const wchar_t* text) : b(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(b); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
};

struct Variant {
    VARIANT v;
    Variant() { VariantInit(&v); }
    ~Variant() { VariantClear(&v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

std::string hresultText(const char* step, HRESULT hr) {
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (0x%08lX)", step, static_cast<unsigned long>(hr));
    return text;
}

bool putByte(IWbemClassObject* in, const wchar_t* name, unsigned char value) {
    Variant v;
    v.v.vt = VT_UI1;
    v.v.bVal = value;
    return SUCCEEDED(in->Put(name, 0, &v.v, 0));
}

bool putLong(IWbemClassObject* in, const wchar_t* name, long value) {
    Variant v;
    v.v.vt = VT_I4;
    v.v.lVal = value;
    return SUCCEEDED(in->Put(name, 0, &v.v, 0));
}

bool putBytes(IWbemClassObject* in, const wchar_t* name, const std::vector<uint8_t>& data) {
    Variant v;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(data.size()));
    if (!array) return false;
    if (!data.empty()) {
        void* bytes = nullptr;
        if (FAILED(SafeArrayAccessData(array, &bytes))) {
            SafeArrayDestroy(array);
            return false;
        }
        std::copy(data.begin(), data.end(), static_cast<uint8_t*>(bytes));
        SafeArrayUnaccessData(array);
    }
    v.v.vt = VT_ARRAY | VT_UI1;
    v.v.parray = array;   // the variant owns it now
    return SUCCEEDED(in->Put(name, 0, &v.v, 0));
}

// An unsigned number of an out parameter, whatever integer type WMI gave it.
bool numberOf(IWbemClassObject* out, const wchar_t* name, unsigned long* number) {
    Variant v;
    if (FAILED(out->Get(name, 0, &v.v, nullptr, nullptr))) return false;
    if (FAILED(VariantChangeType(&v.v, &v.v, 0, VT_UI4))) return false;
    *number = v.v.ulVal;
    return true;
}

// The response bytes: the completion code first, then the data, at most size
// and at most what the array holds.
bool responseOf(IWbemClassObject* out, unsigned long size, std::vector<uint8_t>* bytes) {
    Variant v;
    if (FAILED(out->Get(L"ResponseData", 0, &v.v, nullptr, nullptr))) return false;
    if (v.v.vt == (VT_ARRAY | VT_UI1) && v.v.parray) {
        LONG low = 0, high = -1;
        SafeArrayGetLBound(v.v.parray, 1, &low);
        SafeArrayGetUBound(v.v.parray, 1, &high);
        const unsigned long count = std::min<unsigned long>(size, high >= low ? high - low + 1 : 0);
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(v.v.parray, &data))) return false;
        bytes->assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + count);
        SafeArrayUnaccessData(v.v.parray);
        return true;
    }
    if (v.v.vt == VT_UI1 && size >= 1) {   // a provider that gives only the completion code
        bytes->assign(1, v.v.bVal);
        return true;
    }
    return false;
}

class WmiTransport : public IpmiTransport {
public:
    WmiTransport() {
        const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        comInitialised_ = SUCCEEDED(init);   // RPC_E_CHANGED_MODE: this thread has COM already
        // The process may have set its security already; that one serves.
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE,
                             nullptr, EOAC_NONE, nullptr);
    }
    ~WmiTransport() override {
        release();
        if (comInitialised_) CoUninitialize();
    }
    WmiTransport(const WmiTransport&) = delete;
    WmiTransport& operator=(const WmiTransport&) = delete;

    // False, with the reason, where there is no IPMI driver to reach.
    bool open(std::string* why) {
        HRESULT hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                      reinterpret_cast<void**>(&locator_));
        if (FAILED(hr)) return fail(why, hresultText("WMI", hr));
        Bstr space(L"ROOT\\WMI");
        hr = locator_->ConnectServer(space.b, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services_);
        if (FAILED(hr)) return fail(why, hresultText("WMI root\\WMI", hr));
        CoSetProxyBlanket(services_, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                          RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
        Bstr language(L"WQL"), query(L"SELECT * FROM Microsoft_IPMI");
        ComPtr<IEnumWbemClassObject> found;
        hr = services_->ExecQuery(language.b, query.b, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                  found.out());
        if (FAILED(hr)) return fail(why, hresultText("Microsoft_IPMI", hr));
        ComPtr<IWbemClassObject> instance;
        ULONG count = 0;
        if (FAILED(found->Next(kReplyBoundMs, 1, instance.out(), &count)) || count == 0)
            return fail(why, "no Microsoft_IPMI instance");
        Variant path;
        if (FAILED(instance->Get(L"__RELPATH", 0, &path.v, nullptr, nullptr)) || path.v.vt != VT_BSTR)
            return fail(why, "no Microsoft_IPMI instance path");
        path_ = SysAllocString(path.v.bstrVal);
        Bstr className(L"Microsoft_IPMI");
        ComPtr<IWbemClassObject> cimClass;
        if (FAILED(services_->GetObject(className.b, 0, nullptr, cimClass.out(), nullptr)) ||
            FAILED(cimClass->GetMethod(L"RequestResponse", 0, &inSignature_, nullptr)) || !inSignature_)
            return fail(why, "no RequestResponse method");
        return true;
    }

    IpmiReply request(uint8_t netfn, uint8_t cmd, const std::vector<uint8_t>& data) override {
        IpmiReply reply;
        ComPtr<IWbemClassObject> in;
        if (FAILED(inSignature_->SpawnInstance(0, in.out())) || !putByte(in.p, L"Command", cmd) ||
            !putByte(in.p, L"Lun", 0) || !putByte(in.p, L"NetworkFunction", netfn) ||
            !putByte(in.p, L"ResponderAddress", kBmcAddress) || !putBytes(in.p, L"RequestData", data) ||
            !putLong(in.p, L"RequestDataSize", static_cast<long>(data.size()))) {
            reply.outcome = IpmiReply::Outcome::Failed;
            reply.detail = "the request could not be built";
            return reply;
        }
        Bstr method(L"RequestResponse");
        ComPtr<IWbemCallResult> call;
        HRESULT hr = services_->ExecMethod(path_, method.b, WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, in.p, nullptr,
                                           call.out());
        ComPtr<IWbemClassObject> out;
        if (SUCCEEDED(hr)) hr = call->GetResultObject(kReplyBoundMs, out.out());
        if (hr == WBEM_S_TIMEDOUT) return reply;   // NoReply
        if (FAILED(hr) || !out.p) {
            reply.outcome = IpmiReply::Outcome::Failed;
            reply.detail = hresultText("RequestResponse", hr);
            return reply;
        }
        unsigned long code = 0, size = 0;
        std::vector<uint8_t> bytes;
        if (!numberOf(out.p, L"CompletionCode", &code) || !numberOf(out.p, L"ResponseDataSize", &size) ||
            !responseOf(out.p, size, &bytes)) {
            reply.outcome = IpmiReply::Outcome::Failed;
            reply.detail = "RequestResponse gave no response data";
            return reply;
        }
        reply.outcome = IpmiReply::Outcome::Answered;
        reply.completionCode = static_cast<uint8_t>(code);
        if (!bytes.empty()) reply.data.assign(bytes.begin() + 1, bytes.end());
        return reply;
    }

private:
    bool fail(std::string* why, const std::string& reason) {
        *why = reason;
        return false;
    }
    void release() {
        if (inSignature_) inSignature_->Release();
        if (services_) services_->Release();
        if (locator_) locator_->Release();
        SysFreeString(path_);
        inSignature_ = nullptr;
        services_ = nullptr;
        locator_ = nullptr;
        path_ = nullptr;
    }

    bool comInitialised_ = false;
    IWbemLocator* locator_ = nullptr;
    IWbemServices* services_ = nullptr;
    IWbemClassObject* inSignature_ = nullptr;
    BSTR path_ = nullptr;
};

}  // namespace

namespace ipmi {

OpenedTransport OpenSystemTransport() {
    OpenedTransport opened;
    auto transport = std::make_unique<WmiTransport>();
    std::string why;
    if (transport->open(&why))
        opened.transport = std::move(transport);
    else
        opened.note = "No IPMI driver (" + why + ")";
    return opened;
}

}  // namespace ipmi
