#ifndef WYXCORE_SCHEMA_LOADER_H
#define WYXCORE_SCHEMA_LOADER_H

class TContainer;

namespace schema {

// Declares the framework's classes in the container: the *.xml files of the
// schema directory (WYX_SCHEMA_DIR, or schema/ beside the wyxcore library), in
// name order. The files are read once per process; a file that cannot be read
// or is bad is reported once in the core log and left out.
void Load(TContainer* container);

// kWyxOK when every schema file was read; kWyxSchemaMissing when the directory
// cannot be read or holds no schema file; kWyxSchemaInvalid when a file was left out.
int State();

}  // namespace schema

#endif
