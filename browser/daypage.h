#pragma once

#include <QString>

#include <functional>

namespace Starwick {

// A day page, as decoded text (DecodePageText), reads in this order after its head:
//   <a href="image/2310/DesertEclipse_Daviron_2000.jpg"><IMG SRC="image/2310/..._960.jpg" ...></a>
//   <b> A Desert Eclipse </b> <br>
//   <b> Image Credit & Copyright: </b> <a href="...">...</a>
//   <b> Explanation: </b> ... the explanation ...
//   <b> Tomorrow's picture: </b> ...
//   <p> <hr> <a href="ap231016.html">&lt;</a> | <a href="archivepix.html">Archive</a> | ... <hr>
//   <b> Authors & editors: </b> ... <b>NASA Official: </b> ...
// Pages of the 1990s say "Picture Credit:" or "Credit:" and end the explanation with "We keep an
// archive ..."; some later ones say "Next picture:", and some have no such label, so that the rule
// above the navigation links is the first thing after the explanation. Video days hold no picture
// reference.

/// What a day page says about its picture, and the names derived from it.
struct DayPicture
{
    enum class Outcome
    {
        Picture,    ///< a picture to show; every field is set
        NoPicture,  ///< the page names no picture (a video day, say); only saveName is set
        UnsafeName, ///< the picture's cache name is refused; url and cacheName stay empty
    };

    Outcome outcome = Outcome::NoPicture;
    QString relativePath; ///< the picture's path under "/apod/image/"
    QString url;          ///< "http://" + server + "/apod/image/" + relativePath, trimmed
    QString ext;          ///< the extension from the path's last five characters, lower case, trimmed
    QString saveName;     ///< the day's title + "." + ext, the name offered when saving ("/" made "-")
    QString cacheName;    ///< the picture's file name in the cache folder

    bool hasPicture() const { return outcome == Outcome::Picture; }
};

/// The day's picture. `server`: the APOD host with an optional path prefix.
///
/// The picture is the first attribute `href` or `src` (in any letter case; its value quoted with "
/// or ' or bare) whose value begins with "image/", in a tag outside comments, scripts, styles and
/// the title, before the text "Explanation:" starts, and whose extension is not a video's (or a web
/// page's). The cache name is the second "/"-separated field of the path, or the whole path when it
/// holds no "/"; see IsSafeCacheName.
DayPicture FindDayPicture(const QString& dayText, const QString& server);

/// Whether `name` may name a file in the cache folder: not empty, not beginning with "." (no "."
/// or "..", no hidden file), no "/" or "\", no NUL or other control character, at most 255 bytes
/// in UTF-8.
bool IsSafeCacheName(const QString& name);

/// The day's title: the text between the page's first "<b>" and the next "</b>", trimmed, with
/// each "/" made "-" and each control character a blank, so that it serves as a file name.
QString DayTitle(const QString& dayText);

/// The credit line, tags and line breaks removed: the text after the credit label ("Credit &
/// Copyright:", "Credit:", also with "Image", "Picture", "Credits", "and" or "&amp;") up to the next
/// "Explanation", trimmed; when no "Explanation" follows, up to the next day's label or the
/// footer's first line, else the end; "" without any "Credit". `yield` runs once per removed tag.
QString CutCredits(const QString& dayText, const std::function<void()>& yield = {});

/// The explanation, tags and line breaks removed: the text after "Explanation:" and its closing
/// "</b>" up to whichever comes first of the next day's label ("Tomorrow's picture", "Next
/// picture:"), "We keep an" (only where no "Tomorrow's picture" follows), a horizontal rule, and
/// the footer's lines ("Authors & editors", "NASA Official"); else up to the end of the page.
/// Trimmed before the tags are removed; "" when the page has no "Explanation:". `yield` runs once
/// per removed tag.
QString CutExplanation(const QString& dayText, const std::function<void()>& yield = {});

} // namespace Starwick
