#include <string>

#include "wyxcore/flat.h"
#include "wyxcore/status.h"

namespace {

const char* knownText(int status) {
    switch (status) {
    case kWyxOK: return "Success";
    case kWyxGeneralFailure: return "General failure";
    case kWyxInvalidArgument: return "Invalid argument";
    case kWyxFailure: return "Operation failed";
    case kWyxOutOfMemory: return "Out of memory";
    case kWyxPluginLoadFailed: return "Plug-in could not be loaded";
    case kWyxPluginDirMissing: return "Plug-in directory not found";
    case kWyxInvalidDateTime: return "Invalid date or time";
    case kWyxInvalidDirectory: return "Invalid directory";
    case kWyxCreateDirFailed: return "Directory could not be created";
    case kWyxSchemaMissing: return "Class schema not found";
    case kWyxSchemaInvalid: return "Class schema is invalid";
    case kWyxUnknownClass: return "Class not declared in the schema";
    case kWyxUnknownProperty: return "Property not declared in the schema";
    case kWyxTypeMismatch: return "Value does not match the property's type";
    case kWyxNoInstance: return "No current instance";
    case kWyxPropertyMissing: return "Property not found";
    case kWyxFileNotCompressedOrXml: return "File is neither compressed nor XML";
    case kWyxFileTruncated: return "File is truncated or its compressed data is corrupt";
    case kWyxFileNotXml: return "File is not well-formed XML";
    case kWyxFileNotCimXml: return "File is not CIM-XML";
    case kWyxFileUnknownType: return "File declares an unknown CIM type";
    case kWyxFileBadValue: return "File holds a value that does not match its type";
    case kWyxFileNotFound: return "File not found";
    case kWyxAccessDenied: return "Access denied";
    case kWyxWriteFailed: return "Write failed";
    case kWyxDiskFull: return "Disk full";
    case kWyxReadFailed: return "Read failed";
    case kWyxKeyboardUnavailable: return "Keyboard not available";
    case kWyxNoSystemIdentity: return "System identity not available";
    case kWyxNoInternetConnection: return "No Internet connection";
    case kWyxServiceUnreachable: return "Support service not reachable";
    case kWyxFtpProtocolError: return "FTP protocol error";
    case kWyxNotSupported: return "Operation not supported";
    case kWyxQueryFailed: return "Plug-in query failed";
    case kWyxPluginFailed: return "Plug-in failed";
    case kWyxFileTooLarge: return "File is too large";
    case kWyxFileTooDeep: return "File nests elements too deeply";
    case kWyxTlsFailed: return "Encrypted channel not established";
    default: return nullptr;
    }
}

}  // namespace

extern "C" const char* wyxTranslateStatusCode(int status) {
    if (const char* text = knownText(status)) return text;
    thread_local std::string unknown;
    try {
        unknown = "Unknown status code " + std::to_string(status);
    } catch (...) {
        return "Unknown status code";   // called from C: nothing may leave
    }
    return unknown.c_str();
}
