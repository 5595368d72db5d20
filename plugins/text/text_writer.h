#ifndef NORBIX_TEXT_WRITER_H
#define NORBIX_TEXT_WRITER_H

#include "wyxcore/plugin.h"

// The "Text" writer: WriteContainer writes the report to the path it is given
// with ".txt" added.
class TextWriter : public IPluginCallbacks, public IPluginWriteCallbacks {
public:
    int GetType() override;
    std::string GetName() override;
    void WriteContainer(TContainer* container, const std::string& base) override;
};

#endif
