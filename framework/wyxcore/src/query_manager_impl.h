#ifndef WYXCORE_QUERY_MANAGER_IMPL_H
#define WYXCORE_QUERY_MANAGER_IMPL_H

#include "wyxcore/query_manager.h"

class QueryManager : public IQueryManager {
public:
    void RunQuery(IPlugin* plugin, TContainer* container, const std::vector<std::string>& classNames,
                  int pass) override;
};

#endif
