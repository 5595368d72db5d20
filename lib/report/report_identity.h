#ifndef NORBIX_REPORT_IDENTITY_H
#define NORBIX_REPORT_IDENTITY_H

#include <string>
#include <vector>

#include "wyxcore/datetime.h"

class TContainer;

// One fact about the machine: its value as collected or, when the data holds
// none, why ("not reported by the firmware").
struct IdentityFact {
    std::string label;
    std::string value;
    std::string missing;   // set when value is empty
};

// Which machine, and when: as the collected data says, not the renderer.
struct ReportIdentity {
    bool hasSystem = false;
    std::string host;
    std::string typeModel;                  // without the marking prefix
    std::vector<IdentityFact> facts;        // host, maker, model, serial, type-model, OS
    std::string machineLine;                // "srv01 · 8865-1RY · serial KQ12345"
    bool hasCollectionTime = false;
    TCIMDateTime collectedAt;               // the run's first record
    TCIMDateTime renderedAt;
    bool renderedLater = false;             // the report was written apart from the collection
};

ReportIdentity BuildIdentity(const TContainer& container, const TCIMDateTime& renderedAt);

// The machine type-model of a "CMCMTM" value ("{CMCMTM}8865-1RY" gives "8865-1RY").
std::string TypeModelOf(const std::string& marked);

#endif
