#pragma once

// The database tools' common ground: the tables that the object shapes of the
// active document define, the foreign-key targets the object editor offers,
// the entity diagram of those tables (command 2) and their export into a
// database file (command 4).

#include <memory>
#include <string>
#include <vector>

#include "model/TableDefinition.h"
#include "platform/visio/Visio.h"

// The tables of a document in document order; each record owned by it.
using TTableCollection = std::vector<std::unique_ptr<TTableRec>>;

// The table of every top-level shape whose name contains "Object" and whose user
// row 0 is not empty, pages 1..Count, shapes 1..Count. Raises what the drawing or
// the definition reader raises (VisioError, EConvertError).
TTableCollection CollectTables(visio::Application& application);

// Clears `list` and fills it, through VisioApp, with "Table.Field" for every
// field of every table whose name differs from `ownTableName`, in document
// order; tables of shapes named "Document" or "Object" count. On an error the
// entries added so far stay.
void FillForeignKeyList(std::vector<std::string>& list, const std::string& ownTableName);

// The column type word of a field's type name ("char" for anything unknown),
// followed by its key clause.
std::string FieldSqlType(const TFieldType& field);

// The CREATE TABLE statement of a table; empty when the table has no name or no
// fields and is therefore skipped.
std::string CreateTableStatement(const TTableRec& table);

// Command 4: asks for the database file (creating it when new), collects the
// tables of VisioApp's active document and creates each in the file, in
// document order. Needs dmExportAccess (Unit_AccessExportDM). A statement the
// engine refuses raises jet::JetError; tables created before it stay.
void ExportToAccess();

// Command 2: collects the tables of VisioApp's active document and draws them
// as an entity diagram in a new drawing, also when there are none. The source
// document is only read. Raises what DrawEntityDiagram raises.
void BuildEntityDiagram();

// Draws `tables` into a new drawing with the entity_m stencil docked: one
// "Entity" per table in rows of three, 3 inches apart from (1, 1) rightwards and
// downwards, and then one labelled connector per foreign-key field to every
// table of the referenced name. Then the connectors get right-angled routes
// through the gaps between the entities, and the page is sized to hold the
// whole diagram with a margin and the diagram moved onto it as one piece (the
// entities keep their places relative to each other). Stores each entity in
// its record's Shape. A missing stencil, master or connection point raises
// VisioError; what was drawn before stays.
void DrawEntityDiagram(visio::Application& application, TTableCollection& tables);

// Drops a dynamic connector on the active page, behind everything, and glues
// its begin to connection row 8 of `fromShape` and its end to that of
// `toShape`; returns it. VisioError when an entity has no such row.
visio::Shape ConnectEntities(visio::Application& application, const visio::Shape& fromShape,
                             const visio::Shape& toShape);
