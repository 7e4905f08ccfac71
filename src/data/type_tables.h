#pragma once
// Where the puzzle types are kept. MT_Type holds the first five, as every
// copy of the program has always read and rewritten it: its type editor
// deletes every row and writes five, numbered 1 to 5, and its lists take
// entry i for TypeID i + 1. The types after them live in MT_TypeExtra, a
// table of the same columns that no older copy knows of, so none of them
// reaches it; their series stay in T_Time beside the others. The table is
// made when a sixth type is first stored. Every reader of the types reads both.

#include <QString>

namespace spinlog {

class Database;

inline constexpr int kFixedTypes = 5;  // MT_Type's rows
inline constexpr int kMostTypes = 100;

// Whether the file has the table of the types after the fifth, and whether
// it holds a row.
bool hasExtraTypeTable(Database &db);
bool hasExtraTypes(Database &db);
// Makes the table when missing (inside the caller's transaction).
void makeExtraTypeTable(Database &db);

// The rows of every type as one FROM term named Types, with the columns
// TypeID, TypeNm and TypeRow: where the row stands, MT_Type's rows first.
// Just MT_Type while no type lies beyond it, so a file of five types is
// read as it always was.
struct TypeRows {
    QString from;     // "MT_Type as Types" or a union of both tables
    QString rowExpr;  // the row's position in that term
};
TypeRows everyTypeRow(Database &db);

}  // namespace spinlog
