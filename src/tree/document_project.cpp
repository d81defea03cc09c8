#include "tree/document_project.h"

#include "db/project_database.h"

C7100Document::Project DocumentProject(ProjectDatabase &database)
{
    C7100Document::Project project;
    project.levels = &database.Levels();
    project.session = database.Session();
    project.ids = database.IdSequence();
    project.displayName = database.DisplayName();
    project.rootShown = database.RootShown();
    project.readOnly = database.ReadOnly();
    return project;
}
