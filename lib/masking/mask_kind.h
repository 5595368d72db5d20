#ifndef NORBIX_MASK_KIND_H
#define NORBIX_MASK_KIND_H

#include <string>

// What a masked value is; each kind has its own pseudonyms.
enum class MaskKind { kHost, kAddress4, kAddress6, kMac, kUser, kSerial, kWord };

// The name of a kind in the map file, and back; false for an unknown name.
const char* MaskKindName(MaskKind kind);
bool MaskKindFromName(const std::string& name, MaskKind* kind);

// What the user asked to mask (WYX_MASK): a list of hosts, addresses, macs,
// users, serials, "all" (everything but serials), and keep-mac-maker (MACs
// keep their maker's first three bytes), separated by commas.
struct MaskChoice {
    bool hosts = false;
    bool addresses = false;
    bool macs = false;
    bool users = false;
    bool serials = false;
    bool keepMacMaker = false;
    bool Any() const { return hosts || addresses || macs || users || serials; }
};

// False, with the offending word in *bad, when the text names something else.
bool ParseMaskChoice(const std::string& text, MaskChoice* choice, std::string* bad);

#endif
