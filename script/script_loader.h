// Script files: finding a script in the script table, the bookkeeping that playing it implies
// (route, score, seen sets), reading it into the buffer, jump lines and error reports.
#pragma once

// Row of scriptTable with exactly this name, or -1 after the error report
// "sEventList.csvに該当ファイル無し" + name.
int ScFindScript(const char* name);
// The bookkeeping of the script's row, then its file into the buffer; read position at its start.
void ScLoadScriptByName(const char* name);
// Marks a mail or broadcast as seen (no route, no score).
void ScChkLoadDb4Mail(const char* mailName);
// Runs the jump line at the read position.
void GotoScript();
// Stops the running scene (its tick callback is removed), shows the error box and logs the text.
void ScError(const char* text);
