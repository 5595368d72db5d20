#ifndef NORBIX_MASKER_H
#define NORBIX_MASKER_H

#include <string>

#include "mask_kind.h"
#include "pseudonym_map.h"
#include "token_finder.h"

class TContainer;
class TCIMInstance;

// The masking engine: learns which values are names (from the container's
// properties, the machine and the words file), then replaces every value
// found in a text by its pseudonym from the map.
class Masker {
public:
    Masker(const MaskChoice& choice, PseudonymMap* map);

    void Learn(MaskKind kind, const std::string& value) { finder_.AddKnown(kind, value); }
    // Host, user and serial values of the container's properties, by the
    // property's name (host names, system names, user and owner names, serial
    // numbers).
    void LearnFromContainer(const TContainer* container);

    // withAddresses false for a version, whose dotted numbers are no address.
    std::string MaskText(const std::string& text, bool withAddresses = true) const;
    // Every string value of the instance, arrays and references included.
    void MaskInstance(TCIMInstance* instance) const;
    void MaskContainer(TContainer* container) const;

private:

    MaskChoice choice_;
    PseudonymMap* map_;
    TokenFinder finder_;
};

#endif
