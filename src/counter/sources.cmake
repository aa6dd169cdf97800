set(COUNTER_CORE_SOURCES
  counter/postbus_counter.cpp
)
