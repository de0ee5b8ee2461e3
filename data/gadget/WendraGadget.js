// The gadget page's script. The host hands the page the gadget library's clsHTML
// as the web channel's object "gadget"; its list (createHTML) is an HTML table whose
// links call the functions below. The page draws the list again on each change of
// minute, when the library reports a change the main program saved
// (onDataChanged) and after the editor closed; nothing else wakes it.
"use strict";

var gadget = null;
var priorWarning = 30;
var maxRows = 10;
var topRow = 0;
var expandPast = false;
var drawCount = 0;        // lists drawn so far (the tests wait on it)
var countdown = null;     // the row whose countdown shows: {when, hasTime, description}
var minuteTimer = 0;
// The names the list writes its dates in (the host gives the user's language's).
var monthNames = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"];
var weekdayNames = ["Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"];

// The 16-bit arithmetic of the library's paging.
var kMaxRow = 32767;

function byId(id) { return document.getElementById(id); }

function showStatus(text) { byId("status").textContent = text || ""; }

function show(result) {
  if (result.error) {
    showStatus(result.error);
  } else {
    showStatus("");
    byId("list").innerHTML = result.html;
  }
  drawCount += 1;
}

function draw() {
  if (!gadget) return;
  gadget.createHTML(priorWarning, maxRows, expandPast, topRow, show);
}

// ---- the functions the list's links call --------------------------------------

function startQVR() { if (gadget) gadget.startQVR(); }

function pageStep() { return maxRows > 0 ? maxRows : 1; }

function goBack() {
  topRow = Math.max(0, topRow - pageStep());
  draw();
}

// The list offers the forward arrow on its last page too: a page without an event
// row is not turned to, so the user never pages into an empty list.
function goForward() {
  var next = Math.min(topRow + pageStep(), kMaxRow - Math.max(maxRows, 0));
  if (!gadget || next <= topRow) return;
  gadget.createHTML(priorWarning, maxRows, expandPast, next, function (result) {
    if (!result.error && result.html.indexOf("javascript:editEvent(") < 0) return;
    topRow = next;
    show(result);
  });
}

// Shows or folds the past events; the list starts again at its top, where they are.
function expandPastEvents() {
  expandPast = !expandPast;
  topRow = 0;
  draw();
}

function displayHelp() { byId("help").hidden = !byId("help").hidden; }

function editEvent(id, when, allDay) { if (gadget) gadget.doEdit(String(id), String(when), String(allDay)); }

// The countdown of a clicked row, kept up to date each minute until closed.
function showCountdown(year, month, day, hour, minute, second, hasTime, description) {
  countdown = {
    when: new Date(year, month - 1, day, hour, minute, second),
    hasTime: hasTime === "Y",
    description: String(description)
  };
  drawCountdown();
}

// ---- the countdown ------------------------------------------------------------

function plural(n, one) { return n + " " + one + (n === 1 ? "" : "s"); }

function twoDigits(n) { return (n < 10 ? "0" : "") + n; }

// The minutes to a time as the list counts them, the changes of minute from now to
// it: at 10:00:30 a row at 12:00 says 2h 00m, and so does its countdown.
function minutesTo(when, now) { return Math.floor(when.getTime() / 60000) - Math.floor(now.getTime() / 60000); }

// The date and time in the list's forms: "Wed 09-Dec-26 15:46", "Wed 09-Dec-26".
function whenText(when, hasTime) {
  var text = weekdayNames[when.getDay()] + " " + twoDigits(when.getDate()) + "-" + monthNames[when.getMonth()] +
    "-" + twoDigits(when.getFullYear() % 100);
  if (hasTime) text += " " + twoDigits(when.getHours()) + ":" + twoDigits(when.getMinutes());
  return text;
}

// "in 2 days 3 hours 5 minutes", "NOW", "4 hours 10 minutes ago"; for a whole day
// "today", "tomorrow", "in 3 days", "yesterday", "3 days ago".
function countdownText(when, hasTime, now) {
  if (!hasTime) {
    var today = new Date(now.getFullYear(), now.getMonth(), now.getDate());
    var days = Math.round((when - today) / 86400000);
    if (days === 0) return "today";
    if (days === 1) return "tomorrow";
    if (days === -1) return "yesterday";
    return days > 0 ? "in " + plural(days, "day") : plural(-days, "day") + " ago";
  }
  var minutes = minutesTo(when, now);
  if (minutes === 0) return "NOW";
  var ahead = minutes > 0;
  var left = Math.abs(minutes);
  var parts = [];
  var d = Math.floor(left / 1440), h = Math.floor(left % 1440 / 60), m = left % 60;
  if (d) parts.push(plural(d, "day"));
  if (h) parts.push(plural(h, "hour"));
  if (m || !parts.length) parts.push(plural(m, "minute"));
  return ahead ? "in " + parts.join(" ") : parts.join(" ") + " ago";
}

function drawCountdown() {
  var box = byId("countdown");
  if (!countdown) {
    box.hidden = true;
    return;
  }
  // Texts go in as text: a description is the user's, never markup.
  byId("countdownDescription").textContent = countdown.description;
  byId("countdownWhen").textContent = whenText(countdown.when, countdown.hasTime);
  byId("countdownLeft").textContent = countdownText(countdown.when, countdown.hasTime, new Date());
  box.hidden = false;
}

// ---- the minute ---------------------------------------------------------------

// Wakes just after the next whole minute; the timer is armed again each time, so
// it keeps to the minute however long the last one took.
function armMinute() {
  clearTimeout(minuteTimer);
  minuteTimer = setTimeout(onMinute, 60000 - Date.now() % 60000 + 50);
}

function onMinute() {
  draw();
  drawCountdown();
  armMinute();
}

// ---- start --------------------------------------------------------------------

function start() {
  byId("countdownClose").addEventListener("click", function (e) {
    e.preventDefault();
    countdown = null;
    drawCountdown();
  });
  if (typeof qt === "undefined" || typeof QWebChannel === "undefined") {
    showStatus("This page is the Wendra(win) gadget: start it with WendraGadgetHost.");
    return;
  }
  new QWebChannel(qt.webChannelTransport, function (channel) {
    gadget = channel.objects.gadget;
    priorWarning = gadget.priorWarning;
    maxRows = gadget.rows;
    if (gadget.monthNames.length === 12) monthNames = gadget.monthNames;
    if (gadget.weekdayNames.length === 7) weekdayNames = gadget.weekdayNames;
    gadget.dataChanged.connect(draw);
    gadget.editClosed.connect(draw);
    gadget.failed.connect(showStatus);
    draw();
    armMinute();
  });
}

document.addEventListener("DOMContentLoaded", start);
