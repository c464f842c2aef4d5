#pragma once

class DrawEngine;

extern const wchar_t* const ResultStoreFile;

// Puts back the finished prizes and their winners stored by the last run and
// takes those winners out of the pool.
void RestoreResults(DrawEngine& engine);

// Stores the finished prizes and their winners, replacing the file's content
// in one write.
void SaveResults(const DrawEngine& engine);

// The store written after each stop. A missing store was reported at
// start-up and is not reported again at every stop; it is at exit.
void KeepResults(const DrawEngine& engine);

bool ResultStoreExists();
