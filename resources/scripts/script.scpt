-- Gathers the copies chosen for removal in one album, made on first use, and answers the
-- album's identifier. The user deletes them in Photos.
tell application id "com.apple.Photos"
	set albumName to "Marrowick Duplicates"
	if exists container albumName then
		set theAlbum to container albumName
	else
		set theAlbum to make new album named albumName
	end if
	return id of theAlbum
end tell
