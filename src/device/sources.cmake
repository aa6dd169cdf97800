set(DEVICE_CORE_SOURCES
  device/action_rules.cpp
  device/decimal_input.cpp
  device/device_commands.cpp
  device/dravolin_api.cpp
  device/dravolin_library.cpp
  device/error_text.cpp
  device/errors.cpp
  device/host_proxies.cpp
  device/host_session.cpp
  device/info_format.cpp
  device/panel_texts.cpp
  device/library_text.cpp
  device/programmer.cpp
  device/still_loaded.cpp
  device/timeout_rule.cpp
)
# The platform's loader, process and pipe calls, and the messages between the
# program and its library host; also linked into the simulator's relay library.
set(DEVICE_PROTOCOL_SOURCES
  device/call_channel.cpp
  device/host_protocol.cpp
  device/platform_loader.cpp
  device/platform_process.cpp
  device/shared_ring.cpp
)
