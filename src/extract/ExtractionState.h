#pragma once

#include <functional>

class CMilvaneDoc;

// The document's current extraction, as the lists that show it handle it.

// Asks whether to save an extraction not yet saved; `save` stores it. False when
// saving was asked for and failed: the caller keeps what it has.
bool CheckUnsavedExtraction(CMilvaneDoc* doc, const std::function<bool()>& save);

// Forgets the extraction and its keys.
void ClearExtraction(CMilvaneDoc* doc);
