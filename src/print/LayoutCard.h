#pragma once
#include "model/Colours.h"
#include "model/Images.h"
#include "model/KeyLayout.h"

#include <QList>
#include <QString>
#include <QStringList>

// The printed layout card in words and places, before any painting: the keys as the main
// window shows them (caption and colours at their places) and the layout's tables as rows of
// text. The painter only lays these out on pages.
namespace zeltra::card {

struct Key {
    KeyPlace place;
    QString caption;
    Colour fill = 0;
    Colour text = 0;
};

struct Table {
    QString title;
    QStringList columns;
    QList<QStringList> rows; // as many cells as columns
};

// The jog wheel beside the keys, as the main window draws it for the kind.
struct Wheel {
    int left = 0;
    int top = 0;
    int size = 0;
    bool knob = false;
};

struct Card {
    QString title; // "Machine control layout"
    QList<Key> keys;
    Wheel wheel;
    QList<Table> tables;
};

Card machineCard(const MachineImage& image);
Card monitorCard(const MonitorImage& image);

} // namespace zeltra::card
