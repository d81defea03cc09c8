#pragma once

#include <QRect>

// Where the main window opens while the settings hold no placement of the
// user's: most of the screen, centred, the tree wide enough for a module
// standing under a zelnor-carrier. Once the user has placed the window, the
// stored placement wins.
struct FirstStartLayout {
    static constexpr int kScreenPercent = 80;
    // A module's name is its type, then its two channel tags.
    static constexpr int kModuleNameCharacters = 30;
    // Project, plant, cabinet, zelnor-carrier: the module is the fifth level.
    static constexpr int kModuleDepth = 4;
    // The tree never takes more than this of the window's width.
    static constexpr int kMostTreePercent = 35;

    QRect window;
    int treeWidth = 0;

    // available: the screen without the desktop's panels; charWidth: the
    // average character width of the tree's font; indentation: the tree's
    // step per level (its icon is about as wide).
    static FirstStartLayout For(const QRect &available, int charWidth, int indentation);
};
