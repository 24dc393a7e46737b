#include "ui/symbol_glyphs.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace nimbara::SymbolGlyphs {

namespace {

struct Entry {
    QLatin1StringView name;
    char32_t codePoint;
};

// Symbols the screens use.
constexpr Entry screenEntries[] = {
    {"house"_L1, 0xE88A},                        // home
    {"square.grid.2x2"_L1, 0xE9B0},              // grid_view
    {"star"_L1, 0xE83A},                         // star_border
    {"star.fill"_L1, 0xE838},                    // star
    {"arrow.down.circle"_L1, 0xF181},            // arrow_circle_down
    {"gearshape"_L1, 0xE8B8},                    // settings
    {"chevron.right"_L1, 0xE5CC},                // chevron_right
    {"chevron.left"_L1, 0xE5CB},                 // chevron_left
    {"magnifyingglass"_L1, 0xE8B6},              // search
    {"command"_L1, 0xEAE7},                      // keyboard_command_key
    {"bubble.left.and.bubble.right"_L1, 0xE0BF}, // forum
    {"tray"_L1, 0xE156},                         // inbox
    {"sparkles"_L1, 0xE65F},                     // auto_awesome
    {"checkmark"_L1, 0xE5CA},                    // check
    {"checkmark.circle"_L1, 0xE92D},             // check_circle_outline
    {"checkmark.seal"_L1, 0xEF76},               // verified
    {"arrow.clockwise"_L1, 0xE5D5},              // refresh
    {"clock"_L1, 0xE8B5},                        // schedule
    {"play"_L1, 0xE037},                         // play_arrow
    {"arrow.triangle.2.circlepath"_L1, 0xE627},  // sync
    {"trash"_L1, 0xE872},                        // delete
    {"lock.shield"_L1, 0xE32A},                  // security
    {"arrow.right"_L1, 0xE5C8},                  // arrow_forward
    {"return"_L1, 0xE31B},                       // keyboard_return
    {"arrow.up.right"_L1, 0xE0B2},               // call_made
    {"cpu"_L1, 0xE322},                          // memory
    {"number"_L1, 0xEAC7},                       // numbers
    {"checkmark.circle.fill"_L1, 0xE86C},        // check_circle
    {"exclamationmark.triangle"_L1, 0xE002},     // warning
    {"paperplane"_L1, 0xE163},                   // send
    {"hourglass"_L1, 0xE88B},                    // hourglass_empty
};

// Symbols catalogs commonly give their apps.
constexpr Entry appEntries[] = {
    {"note.text"_L1, 0xE873},             // description
    {"doc.text"_L1, 0xE873},              // description
    {"timer"_L1, 0xE425},                 // timer
    {"clipboard"_L1, 0xE14F},             // content_paste
    {"calendar"_L1, 0xE935},              // calendar_today
    {"photo"_L1, 0xE3F4},                 // image
    {"camera"_L1, 0xE412},                // photo_camera
    {"folder"_L1, 0xE2C7},                // folder
    {"terminal"_L1, 0xEB8E},              // terminal
    {"globe"_L1, 0xE80B},                 // public
    {"bolt"_L1, 0xEA0B},                  // bolt
    {"envelope"_L1, 0xE158},              // mail
    {"music.note"_L1, 0xE405},            // music_note
    {"keyboard"_L1, 0xE312},              // keyboard
    {"paintbrush"_L1, 0xE3AE},            // brush
    {"book"_L1, 0xE865},                  // book
    {"lock"_L1, 0xE897},                  // lock
    {"checklist"_L1, 0xE6B1},             // checklist
    {"bookmark"_L1, 0xE866},              // bookmark
    {"link"_L1, 0xE157},                  // link
    {"cloud"_L1, 0xE2BD},                 // cloud
    {"map"_L1, 0xE55B},                   // map
    {"mic"_L1, 0xE029},                   // mic
    {"textformat"_L1, 0xE262},            // text_fields
    {"function"_L1, 0xEA5F},              // calculate
    {"bubble.left"_L1, 0xE0B7},           // chat
    {"character.book.closed"_L1, 0xE8E2}, // translate
};

const QHash<QString, char32_t>& table() {
    static const QHash<QString, char32_t> codePoints = [] {
        QHash<QString, char32_t> map;
        for (const Entry& entry : screenEntries) {
            map.insert(entry.name, entry.codePoint);
        }
        for (const Entry& entry : appEntries) {
            map.insert(entry.name, entry.codePoint);
        }
        return map;
    }();
    return codePoints;
}

} // namespace

char32_t codePoint(QStringView name) {
    return table().value(name.toString(), genericGlyph);
}

QString glyph(QStringView name) {
    const char32_t point = codePoint(name);
    return QString::fromUcs4(&point, 1);
}

bool isKnown(QStringView name) {
    return table().contains(name.toString());
}

QStringList knownNames() {
    return table().keys();
}

} // namespace nimbara::SymbolGlyphs
