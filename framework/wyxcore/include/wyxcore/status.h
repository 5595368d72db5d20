#ifndef WYXCORE_STATUS_H
#define WYXCORE_STATUS_H

// Status codes carried by TWYXException and returned by the flat entry points.
// wyxTranslateStatusCode has a text for each of them. Those marked "for
// plug-ins" are never thrown by the framework itself: they are kept, with their
// texts, for plug-ins that meet the condition.
enum WyxStatus {
    kWyxOK = 0,
    kWyxGeneralFailure = 1,
    kWyxInvalidArgument = 2,
    kWyxFailure = 3,              // failure of a flat entry point
    kWyxOutOfMemory = 4,
    kWyxPluginLoadFailed = 5,
    kWyxPluginDirMissing = 6,
    kWyxInvalidDateTime = 7,
    kWyxInvalidDirectory = 11,
    kWyxCreateDirFailed = 12,
    kWyxSchemaMissing = 13,       // RunQuery: a class is missing and the schema directory or files are
    kWyxSchemaInvalid = 14,       // ... or a schema file was bad
    kWyxUnknownClass = 15,
    kWyxUnknownProperty = 16,
    kWyxTypeMismatch = 17,
    kWyxNoInstance = 18,          // for plug-ins
    kWyxPropertyMissing = 19,     // for plug-ins
    kWyxFileNotCompressedOrXml = 20,
    kWyxFileTruncated = 21,
    kWyxFileNotXml = 22,
    kWyxFileNotCimXml = 23,
    kWyxFileUnknownType = 24,
    kWyxFileBadValue = 25,
    kWyxFileNotFound = 26,
    kWyxAccessDenied = 27,
    kWyxWriteFailed = 28,
    kWyxDiskFull = 29,
    kWyxReadFailed = 30,
    kWyxKeyboardUnavailable = 31, // for plug-ins
    kWyxNoSystemIdentity = 32,
    kWyxNoInternetConnection = 33,
    kWyxServiceUnreachable = 34,
    kWyxFtpProtocolError = 35,
    kWyxNotSupported = 36,
    kWyxQueryFailed = 37,
    kWyxPluginFailed = 40,        // a plug-in let out something other than TWYXException
    kWyxFileTooLarge = 41,        // a file holds more than the reader takes in one piece
    kWyxFileTooDeep = 42,
    kWyxTlsFailed = 50            // no encrypted channel: the server offers none, or its certificate is not trusted
};

#endif
