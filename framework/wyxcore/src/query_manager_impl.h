#ifndef WYXCORE_QUERY_MANAGER_IMPL_H
#define WYXCORE_QUERY_MANAGER_IMPL_H

#include <string>
#include <vector>

#include "wyxcore/query_manager.h"

class QueryManager : public IQueryManager {
public:
    void RunQuery(IPlugin* plugin, TContainer* container, const std::vector<std::string>& classNames,
                  int pass) override;

    // The classes of the container registered for that provider and pass.
    static std::vector<std::string> ProvidedClasses(TContainer* container, const std::string& selectionName,
                                                    int pass);
};

#endif
