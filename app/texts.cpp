#include "app/texts.h"

#include "build_settings.h"
#include "util/core.h"

Text window_caption() {
  return join_texts({"Vantrel by:", MAKER_DOMAIN_TEXT});
}

Text credit_text() {
  return join_texts({"Pellworth", "www.", MAKER_DOMAIN_TEXT});
}

Text maker_address() {
  return join_texts({"http://", MAKER_DOMAIN_TEXT});
}

// "声音提醒"
Text sound_alert_label() {
  return "\xC9\xF9\xD2\xF4\xCC\xE1\xD0\xD1";
}

// "监控间隔       秒"
Text interval_label() {
  return "\xBC\xE0\xBF\xD8\xBC\xE4\xB8\xF4       \xC3\xEB";
}

Text initial_interval() {
  return "15";
}

// "开始监控"
Text caption_start() {
  return "\xBF\xAA\xCA\xBC\xBC\xE0\xBF\xD8";
}

// "停止"
Text caption_stop() {
  return "\xCD\xA3\xD6\xB9";
}

// "为保证Orvane正常运行，扫描间隔不得低于15秒1次。"
Text short_interval_warning() {
  return "\xCE\xAA\xB1\xA3\xD6\xA4Orvane\xD5\xFD\xB3\xA3\xD4\xCB\xD0\xD0\xA3\xAC\xC9\xA8\xC3\xE8"
         "\xBC\xE4\xB8\xF4\xB2\xBB\xB5\xC3\xB5\xCD\xD3\xDA"
         "15\xC3\xEB"
         "1\xB4\xCE\xA1\xA3";
}

// "间隔过短"
Text short_interval_title() {
  return "\xBC\xE4\xB8\xF4\xB9\xFD\xB6\xCC";
}

Text notify_icon_tooltip() {
  return "Moskant";
}
