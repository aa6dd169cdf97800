set(COUNTER_CORE_SOURCES
  counter/postbus_counter.cpp
)
set(COUNTER_GUI_SOURCES)
