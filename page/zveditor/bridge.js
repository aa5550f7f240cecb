// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The page's only way to native code: the web channel object "tavrikBridge" with its one
// method call(functionName, arguments). The object and the channel transport stay inside this
// closure, so nothing else in the page can reach them.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});

    let bridge = null;
    const pending = [];

    function deliver(cmd, json, exdata) {
        bridge.call('CppProcessor', [cmd, json, exdata]);
    }

    // Native code delivers its messages to qt.webChannelTransport.onmessage, looked up by name
    // on every message. Once the channel is set up, window.qt keeps only that receiver: the
    // transport's send() stays in this closure.
    function hideTransport(onmessage) {
        const receiver = Object.freeze({ webChannelTransport: Object.freeze({ onmessage: onmessage }) });
        try {
            Object.defineProperty(window, 'qt', { value: receiver, writable: false, configurable: false });
        } catch (e) {
            window.qt = receiver;
        }
    }

    function connect() {
        const qt = window.qt;
        const transport = qt && qt.webChannelTransport;
        const QWebChannelType = window.QWebChannel;
        try {
            delete window.QWebChannel;
        } catch (e) {
            window.QWebChannel = undefined;
        }
        if (!transport || typeof transport.send !== 'function' || typeof QWebChannelType !== 'function') {
            hideTransport(undefined);
            return; // no native side (a page opened on its own): calls stay queued
        }
        new QWebChannelType(transport, function (channel) {
            const object = channel.objects.tavrikBridge;
            if (!object || typeof object.call !== 'function')
                return;
            bridge = object;
            while (pending.length)
                deliver.apply(null, pending.shift());
        });
        hideTransport(transport.onmessage);
    }

    function text(value) {
        if (value === undefined || value === null)
            return '';
        return typeof value === 'string' ? value : String(value);
    }

    // Sends one command to native code. json and exdata are texts; calls made before the
    // channel is ready are sent, in order, once it is.
    window.CppProcessor = function CppProcessor(cmd, json, exdata) {
        const args = [text(cmd), text(json), text(exdata)];
        if (bridge)
            deliver.apply(null, args);
        else
            pending.push(args);
    };

    Tavrik.bridge = {
        pendingCount() {
            return pending.length;
        },
    };

    connect();
})();
