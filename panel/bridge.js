// Appended to Qt's qwebchannel.js and injected into the front end's main frame before any
// page script runs: window.chrome.webview.postMessage(object) and "message" events whose
// data is the object, carried over the web channel.
(function () {
  "use strict";
  if (window.chrome && window.chrome.webview) return;
  var target = new EventTarget();
  var bridge = null;
  var pending = [];
  window.chrome = window.chrome || {};
  window.chrome.webview = {
    postMessage: function (message) {
      var text = JSON.stringify(message);
      if (text === undefined) return;
      if (bridge) bridge.postMessage(text);
      else pending.push(text);
    },
    addEventListener: function (type, listener) { target.addEventListener(type, listener); },
    removeEventListener: function (type, listener) { target.removeEventListener(type, listener); }
  };
  // Only the main frame of a page gets the channel's transport; elsewhere nothing is sent.
  if (typeof qt === "undefined" || !qt.webChannelTransport) return;
  new QWebChannel(qt.webChannelTransport, function (channel) {
    bridge = channel.objects.tolvanePanel;
    bridge.message.connect(function (text) {
      var data;
      try { data = JSON.parse(text); } catch (e) { return; }
      target.dispatchEvent(new MessageEvent("message", { data: data }));
    });
    var queued = pending;
    pending = [];
    queued.forEach(function (text) { bridge.postMessage(text); });
  });
})();
