#ifndef NORBIX_HTML_WRITER_H
#define NORBIX_HTML_WRITER_H

#include "wyxcore/plugin.h"

// The "HTML" writer: WriteContainer writes the pages into the directory it is given.
class HtmlWriter : public IPluginCallbacks, public IPluginWriteCallbacks {
public:
    int GetType() override;
    std::string GetName() override;
    void WriteContainer(TContainer* container, const std::string& directory) override;
};

#endif
