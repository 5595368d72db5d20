#ifndef NORBIX_VERSION_CHECK_H
#define NORBIX_VERSION_CHECK_H

#include <string>
#include <vector>

#include "version_catalog.h"

class TContainer;
class TCIMClass;

// The class of the version checks, as schema/reports.xml declares it:
// CreationClassName, Component, InstalledVersion (empty when not installed),
// AvailableVersion, UpToDate ("Yes" or "No"), Status ("Up to date", "Newer
// than catalog", "Update available", "Not installed"), SourceClass (the class
// that holds the installed version), CatalogFile.
extern const char kVersionCheckClass[];

// The class in the container, declared from the list above when the
// container's schema lacks it.
TCIMClass* VersionCheckClass(TContainer& container);

// The installed version of a component: the Version of the first instance, in
// any class, whose Name equals the component ignoring case. Empty when none.
std::string InstalledVersion(const TContainer& container, const std::string& component, std::string* sourceClass);

// Adds one version check per catalog entry, in catalog order; a check the
// container already holds (same component and versions) is not added again.
void AddVersionChecks(TContainer& container, const std::vector<CatalogEntry>& catalog,
                      const std::string& catalogFile);

#endif
