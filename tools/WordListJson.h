#pragma once

#include <string>

#include "deck/WordList.h"

namespace korva {

// What a word list's bytes say of themselves and what reading them gives, as
// one line of JSON in UTF-8:
// {"encoding":"utf-8"|"cp932"|"utf-16le"|"utf-16be","bom":bool,
//  "lineEnd":"CRLF"|"LF"|"CR"|"mixed"|null,"separator":","|"\t"|";"|"|"|" "|":",
//  "quoting":"rfc"|"none","classic":bool,"lines":N,"fields":N,
//  "directives":{"separator":"tab",...},"firstLine":[...],
//  "unrepresentable":[{"line":L,"char":"é"},...],"unrepresentableCount":N,
//  "equivalents":{"count":N,"first":[{"line":L,"char":"⼀"},...]},"dropped":N}
// lineEnd is null for a text with no line end; lines counts the records,
// the header included, and not the directives, which are given key by key as
// written. firstLine names the columns, by the directives where they do and
// else by the first record: at most the first 256, each cut to 256
// characters and "…"; fields tells how many there are.
// unrepresentable lists the first replaced characters the list kept, and
// unrepresentableCount how many there are in all; equivalents does the same
// for the characters read as code page 932's equivalent, and dropped counts
// the invisible characters left out.
std::string WordListToJson(const WordList& list);

}  // namespace korva
