// A folder that is no room.
