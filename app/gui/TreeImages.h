#pragma once
// The five 16-pixel images of the terminal types tree, drawn by the station itself.
#include <QIcon>
#include <QPixmap>

enum class TreeImage { ClosedFamily = 0, OpenFamily = 1, Model = 2, Root = 3, SelectedModel = 4 };

QPixmap treeImage(TreeImage image);
// An item's icon: the normal image, and the selected one for a selected item.
QIcon treeIcon(TreeImage normal, TreeImage selected);
