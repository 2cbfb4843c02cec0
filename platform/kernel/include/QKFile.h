// Project, window and template files: the kernel's own format (README, "Files").
//
// Every function answers false (null) with the reason in *error when it could not do
// what it was asked; a refused file changes nothing in the project. A save writes a new
// file beside the old one and puts it in the old one's place only once it is complete.
#pragma once

#include "QKDefs.h"

class CQKPage;

// What a file holds, as its header says.
enum QKFileKind {
    QK_FILE_PROJECT = 1,
    QK_FILE_WINDOW = 2,
    QK_FILE_TEMPLATE = 3,
};

// The extension of a window file of the page kind (".qgw", ".qgg", ".qgl", ".qgm"); ""
// for a kind that has none.
QK_API std::string qkfxWindowFileExtension(QKPageType type);

// The project: Save (Save As when `path` differs from the project's file) makes `path`
// the project's file and the project unmodified.
QK_API bool qkfxSaveProject(const std::string& path, std::string* error);
// Open replaces the project with the file's; Append adds the file's pages (renamed when
// a name is taken), datasets, blocks and queries to the project.
QK_API bool qkfxOpenProject(const std::string& path, bool append, std::string* error);

// One page as a window file, or as a template (its structure and settings without its
// data). The window file becomes the page's file.
QK_API bool qkfxSavePage(CQKPage* page, const std::string& path, bool asTemplate, std::string* error);
// Adds the page a window file or template holds to the project (under a free name when
// its own is taken, or under `name` when given). With a project file, the page named
// `pageName` (required) is read out of it.
QK_API CQKPage* qkfxReadPage(const std::string& path, const std::string& pageName, const std::string& name,
                             std::string* error);
// A new page of the kind from a template file: a path, or a name looked up in the
// template folder with the kind's template extension.
QK_API CQKPage* qkfxNewPageFromTemplate(QKPageType type, const std::string& templ, const std::string& name,
                                        std::string* error);

// The same in memory (the bytes of a file).
QK_API void qkfxSaveProjectToMemory(std::vector<BYTE>& bytes);
QK_API bool qkfxSavePageToMemory(CQKPage* page, bool asTemplate, std::vector<BYTE>& bytes, std::string* error);
QK_API bool qkfxOpenProjectFromMemory(const void* data, size_t size, bool append, std::string* error);
QK_API CQKPage* qkfxReadPageFromMemory(const void* data, size_t size, const std::string& pageName,
                                       const std::string& name, std::string* error);

// The most memory one read may ask for (strings, values, cells, blocks, nodes); a file
// that needs more is refused before anything is allocated. Answers the limit before.
QK_API size_t qkfxSetFileReadLimit(size_t bytes);
// Writes of a save fail, as on a full disk, once `bytes` were written (0: no limit).
QK_API void qkfxSetFileWriteLimit(size_t bytes);

