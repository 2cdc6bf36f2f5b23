package quillomere.tarvex;

/**
 * A tiling-array probe map file. Set Name and LibPath, read, then fetch sequences.
 */
public class TeskBPMAPFile extends ComFile {
    static {
        NativeLibrary.load();
    }

    /** Name: Set before the call that reads the file. */
    public String Name;
    /** LibPath: Set before the call that reads the file. */
    public String LibPath;
    /** NumberSequences: Filled by the native methods. */
    public int NumberSequences;

    /** Makes an object with no file; set the input fields, then read. */
    public TeskBPMAPFile() {
        super(TeskBPMAPFile::new);
    }

    private TeskBPMAPFile(ComHandle handle) {
        super(handle);
    }

    /**
     * Whether the file exists. Reads Name and LibPath.
     *
     * @return true when it exists
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean Exists() throws Exception;

    /**
     * One sequence of the map.
     *
     * @param index index of the item, from 0
     * @return the sequence
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskSequenceItem GetSequenceItem(int index) throws Exception;

    /**
     * Reads the file named by Name and LibPath, then fills NumberSequences.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void Read() throws Exception;

    /**
     * Reads the header of the file named by Name and LibPath, then fills the header fields.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void ReadHeader() throws Exception;

    /**
     * Releases this object's automation object; the next read makes a new one. Objects produced
     * from this one stop answering.
     *
     * @return true
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean ReleaseCOMObject() throws Exception;

}
