#pragma once
// What the scenario driver's print step reads from a report view: the
// selected text (or its first line), the title, the file name, the laid-out height and the number
// of pages the preview would show.
#include <string>

class TComponent;

bool ScriptViewerValue(TComponent* component, const std::string& property, std::string& value);
