#pragma once

#include "tree/document.h"

class ProjectDatabase;

// The project an open database holds, as the document works on it.
C7100Document::Project DocumentProject(ProjectDatabase &database);
