#pragma once
// The texts the window shows, in code page 936.

#include "util/values.h"

Text window_caption();          // "Vantrel by:" and the maker's domain
Text credit_text();             // "Pellworth", "www." and the maker's domain
Text maker_address();           // "http://" and the maker's domain
Text sound_alert_label();       // "声音提醒"
Text interval_label();          // "监控间隔       秒": the edit box covers the blanks
Text initial_interval();        // "15"
Text caption_start();           // "开始监控"
Text caption_stop();            // "停止"
Text short_interval_warning();  // the one message the program ever shows
Text short_interval_title();    // "间隔过短"
Text notify_icon_tooltip();     // "Moskant"
