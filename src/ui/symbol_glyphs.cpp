#include "ui/symbol_glyphs.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace nimbara::SymbolGlyphs {

namespace {

struct Entry {
    QLatin1StringView name;
    char32_t codePoint;
};

// Every symbol name the screens and the catalogs use, and the names catalogs commonly give
// their apps, sorted by name; the comment names the glyph in the icon font.
constexpr Entry entries[] = {
    {"alarm"_L1, 0xE855},                                   // alarm
    {"archivebox"_L1, 0xE149},                              // archive
    {"arrow.clockwise"_L1, 0xE5D5},                         // refresh
    {"arrow.down.circle"_L1, 0xF181},                       // arrow_circle_down
    {"arrow.right"_L1, 0xE5C8},                             // arrow_forward
    {"arrow.triangle.2.circlepath"_L1, 0xE627},             // sync
    {"arrow.up.right"_L1, 0xE0B2},                          // call_made
    {"arrow.uturn.backward"_L1, 0xE166},                    // undo
    {"at"_L1, 0xE0E6},                                      // alternate_email
    {"bell"_L1, 0xE7F5},                                    // notifications_none
    {"bell.fill"_L1, 0xE7F4},                               // notifications
    {"bolt"_L1, 0xEA0B},                                    // bolt
    {"book"_L1, 0xE865},                                    // book
    {"bookmark"_L1, 0xE867},                                // bookmark_border
    {"bookmark.fill"_L1, 0xE866},                           // bookmark
    {"books.vertical"_L1, 0xE02F},                          // library_books
    {"briefcase"_L1, 0xE943},                               // work_outline
    {"bubble.left"_L1, 0xE0CB},                             // chat_bubble_outline
    {"bubble.left.and.bubble.right"_L1, 0xE0BF},            // forum
    {"calendar"_L1, 0xE935},                                // calendar_today
    {"camera"_L1, 0xE412},                                  // photo_camera
    {"cart"_L1, 0xE8CC},                                    // shopping_cart
    {"character.book.closed"_L1, 0xE8E2},                   // translate
    {"chart.bar"_L1, 0xE26B},                               // bar_chart
    {"chart.line.uptrend.xyaxis"_L1, 0xE8E5},               // trending_up
    {"chart.pie"_L1, 0xE6C4},                               // pie_chart
    {"chart.xyaxis.line"_L1, 0xE6E1},                       // show_chart
    {"checklist"_L1, 0xE6B1},                               // checklist
    {"checkmark"_L1, 0xE5CA},                               // check
    {"checkmark.circle"_L1, 0xE92D},                        // check_circle_outline
    {"checkmark.circle.fill"_L1, 0xE86C},                   // check_circle
    {"checkmark.seal"_L1, 0xEF76},                          // verified
    {"chevron.left"_L1, 0xE5CB},                            // chevron_left
    {"chevron.left.forwardslash.chevron.right"_L1, 0xE86F}, // code
    {"chevron.right"_L1, 0xE5CC},                           // chevron_right
    {"clipboard"_L1, 0xE14F},                               // content_paste
    {"clock"_L1, 0xE8B5},                                   // schedule
    {"cloud"_L1, 0xE2BD},                                   // cloud
    {"cloud.rain"_L1, 0xF1AD},                              // umbrella
    {"cloud.sun"_L1, 0xE3DD},                               // filter_drama
    {"command"_L1, 0xE312},                                 // keyboard
    {"cpu"_L1, 0xE322},                                     // memory
    {"creditcard"_L1, 0xE870},                              // credit_card
    {"crop"_L1, 0xE3BE},                                    // crop
    {"cube"_L1, 0xE9FE},                                    // view_in_ar
    {"curlybraces"_L1, 0xEAD3},                             // data_object
    {"desktopcomputer"_L1, 0xE30C},                         // desktop_windows
    {"display"_L1, 0xEF5B},                                 // monitor
    {"doc"_L1, 0xE24D},                                     // insert_drive_file
    {"doc.badge.plus"_L1, 0xE89C},                          // note_add
    {"doc.on.clipboard"_L1, 0xE85D},                        // assignment
    {"doc.on.doc"_L1, 0xE14D},                              // content_copy
    {"doc.plaintext"_L1, 0xE8D2},                           // subject
    {"doc.richtext"_L1, 0xEF42},                            // article
    {"doc.text"_L1, 0xE873},                                // description
    {"doc.text.magnifyingglass"_L1, 0xE880},                // find_in_page
    {"doc.zipper"_L1, 0xEB2C},                              // folder_zip
    {"dollarsign.circle"_L1, 0xF041},                       // paid
    {"drop"_L1, 0xE798},                                    // water_drop
    {"ellipsis"_L1, 0xE5D3},                                // more_horiz
    {"envelope"_L1, 0xE0E1},                                // mail_outline
    {"exclamationmark.circle"_L1, 0xE001},                  // error_outline
    {"exclamationmark.triangle"_L1, 0xE002},                // warning
    {"externaldrive"_L1, 0xE161},                           // save
    {"eye"_L1, 0xE8F4},                                     // visibility
    {"eye.slash"_L1, 0xE8F5},                               // visibility_off
    {"eyedropper"_L1, 0xE3B8},                              // colorize
    {"face.smiling"_L1, 0xE813},                            // sentiment_satisfied
    {"film"_L1, 0xE02C},                                    // movie
    {"flag"_L1, 0xE153},                                    // flag
    {"flame"_L1, 0xEF55},                                   // local_fire_department
    {"folder"_L1, 0xE2C7},                                  // folder
    {"folder.fill"_L1, 0xE2C7},                             // folder
    {"function"_L1, 0xEA5F},                                // calculate
    {"gamecontroller"_L1, 0xEA28},                          // sports_esports
    {"gear"_L1, 0xE8B8},                                    // settings
    {"gearshape"_L1, 0xE8B8},                               // settings
    {"gearshape.2"_L1, 0xF05E},                             // settings_suggest
    {"globe"_L1, 0xE80B},                                   // public
    {"graduationcap"_L1, 0xE80C},                           // school
    {"hammer"_L1, 0xEA59},                                  // hardware
    {"hand.raised"_L1, 0xE925},                             // pan_tool
    {"headphones"_L1, 0xF01F},                              // headphones
    {"heart"_L1, 0xE87E},                                   // favorite_border
    {"heart.fill"_L1, 0xE87D},                              // favorite
    {"highlighter"_L1, 0xE25F},                             // highlight
    {"hourglass"_L1, 0xE88B},                               // hourglass_empty
    {"house"_L1, 0xE88A},                                   // home
    {"info.circle"_L1, 0xE88E},                             // info
    {"internaldrive"_L1, 0xE1DB},                           // storage
    {"key"_L1, 0xE0DA},                                     // vpn_key
    {"keyboard"_L1, 0xE312},                                // keyboard
    {"laptopcomputer"_L1, 0xE31E},                          // laptop
    {"leaf"_L1, 0xEA35},                                    // eco
    {"lightbulb"_L1, 0xE0F0},                               // lightbulb
    {"link"_L1, 0xE157},                                    // link
    {"list.bullet"_L1, 0xE241},                             // format_list_bulleted
    {"location"_L1, 0xE569},                                // near_me
    {"lock"_L1, 0xE897},                                    // lock
    {"lock.open"_L1, 0xE898},                               // lock_open
    {"lock.shield"_L1, 0xE32A},                             // security
    {"magnifyingglass"_L1, 0xE8B6},                         // search
    {"map"_L1, 0xE55B},                                     // map
    {"mappin"_L1, 0xE55F},                                  // place
    {"message"_L1, 0xE0C9},                                 // message
    {"mic"_L1, 0xE029},                                     // mic
    {"minus"_L1, 0xE15B},                                   // remove
    {"moon"_L1, 0xE51C},                                    // dark_mode
    {"moon.stars"_L1, 0xEF44},                              // bedtime
    {"music.note"_L1, 0xE405},                              // music_note
    {"network"_L1, 0xEB2F},                                 // lan
    {"note"_L1, 0xE06F},                                    // note
    {"note.text"_L1, 0xF1FC},                               // sticky_note_2
    {"number"_L1, 0xEAC7},                                  // numbers
    {"paintbrush"_L1, 0xE3AE},                              // brush
    {"paintbrush.pointed"_L1, 0xE243},                      // format_paint
    {"paintpalette"_L1, 0xE40A},                            // palette
    {"paperclip"_L1, 0xE226},                               // attach_file
    {"paperplane"_L1, 0xE163},                              // send
    {"pause"_L1, 0xE034},                                   // pause
    {"pencil"_L1, 0xE3C9},                                  // edit
    {"pencil.tip"_L1, 0xE746},                              // draw
    {"person"_L1, 0xE7FF},                                  // person_outline
    {"person.2"_L1, 0xE7EF},                                // group
    {"phone"_L1, 0xE0B0},                                   // call
    {"photo"_L1, 0xE3F4},                                   // image
    {"photo.on.rectangle"_L1, 0xE413},                      // photo_library
    {"pin"_L1, 0xF10D},                                     // push_pin
    {"play"_L1, 0xE037},                                    // play_arrow
    {"plus"_L1, 0xE145},                                    // add
    {"printer"_L1, 0xE8AD},                                 // print
    {"puzzlepiece"_L1, 0xE87B},                             // extension
    {"qrcode"_L1, 0xEF6B},                                  // qr_code
    {"questionmark.circle"_L1, 0xE8FD},                     // help_outline
    {"quote.bubble"_L1, 0xE244},                            // format_quote
    {"record.circle"_L1, 0xE061},                           // fiber_manual_record
    {"rectangle.on.rectangle"_L1, 0xE3E0},                  // filter_none
    {"rectangle.split.3x1"_L1, 0xE8EC},                     // view_column
    {"return"_L1, 0xE31B},                                  // keyboard_return
    {"ruler"_L1, 0xE41C},                                   // straighten
    {"scissors"_L1, 0xE14E},                                // content_cut
    {"scribble"_L1, 0xE155},                                // gesture
    {"server.rack"_L1, 0xE875},                             // dns
    {"shield"_L1, 0xE9E0},                                  // shield
    {"shippingbox"_L1, 0xE1A1},                             // inventory_2
    {"slider.horizontal.3"_L1, 0xE429},                     // tune
    {"sparkles"_L1, 0xE65F},                                // auto_awesome
    {"speaker.wave.2"_L1, 0xE050},                          // volume_up
    {"square.and.arrow.down"_L1, 0xF090},                   // download
    {"square.and.arrow.up"_L1, 0xE6B8},                     // ios_share
    {"square.grid.2x2"_L1, 0xE9B0},                         // grid_view
    {"square.grid.3x2"_L1, 0xE8F0},                         // view_module
    {"square.grid.3x3"_L1, 0xE5C3},                         // apps
    {"square.split.2x1"_L1, 0xE949},                        // vertical_split
    {"square.stack"_L1, 0xE53B},                            // layers
    {"star"_L1, 0xE83A},                                    // star_border
    {"star.fill"_L1, 0xE838},                               // star
    {"stop"_L1, 0xE047},                                    // stop
    {"stopwatch"_L1, 0xE425},                               // timer
    {"sun.max"_L1, 0xE518},                                 // light_mode
    {"sun.min"_L1, 0xE430},                                 // wb_sunny
    {"switch.2"_L1, 0xE9F6},                                // toggle_on
    {"tag"_L1, 0xF05B},                                     // sell
    {"terminal"_L1, 0xEB8E},                                // terminal
    {"text.alignleft"_L1, 0xE236},                          // format_align_left
    {"text.cursor"_L1, 0xE165},                             // text_format
    {"textformat"_L1, 0xE262},                              // text_fields
    {"timer"_L1, 0xE425},                                   // timer
    {"trash"_L1, 0xE872},                                   // delete
    {"tray"_L1, 0xE156},                                    // inbox
    {"tray.full"_L1, 0xE97F},                               // all_inbox
    {"tv"_L1, 0xE333},                                      // tv
    {"viewfinder"_L1, 0xE3C2},                              // crop_free
    {"wand.and.stars"_L1, 0xE663},                          // auto_fix_high
    {"waveform"_L1, 0xE1B8},                                // graphic_eq
    {"wifi"_L1, 0xE63E},                                    // wifi
    {"wrench"_L1, 0xE869},                                  // build
    {"wrench.and.screwdriver"_L1, 0xF10B},                  // handyman
    {"xmark"_L1, 0xE5CD},                                   // close
};

const QHash<QString, char32_t>& table() {
    static const QHash<QString, char32_t> codePoints = [] {
        QHash<QString, char32_t> map;
        for (const Entry& entry : entries) {
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
