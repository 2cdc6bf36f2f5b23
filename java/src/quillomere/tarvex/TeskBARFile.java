package quillomere.tarvex;

/**
 * A tiling-array result file. Set Name and DataPath, read, then fetch parameters, column types
 * and sequences.
 */
public class TeskBARFile extends ComFile {
    static {
        NativeLibrary.load();
    }

    /** Name: Set before the call that reads the file. */
    public String Name;
    /** DataPath: Set before the call that reads the file. */
    public String DataPath;
    /** LibPath: Set before the call that reads the file. */
    public String LibPath;
    /** Version: Filled by the native methods. */
    public float Version;
    /** NumberSequences: Filled by the native methods. */
    public int NumberSequences;
    /** NumberColumns: Filled by the native methods. */
    public int NumberColumns;
    /** NumberParameters: Filled by the native methods. */
    public int NumberParameters;

    /** Makes an object with no file; set the input fields, then read. */
    public TeskBARFile() {
        super(TeskBARFile::new);
    }

    private TeskBARFile(ComHandle handle) {
        super(handle);
    }

    /**
     * Whether the file exists. Reads Name and DataPath.
     *
     * @return true when it exists
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean Exists() throws Exception;

    /**
     * The type of one column.
     *
     * @param index index of the item, from 0
     * @return the type
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TARVEX_BAR_DATA_TYPE GetColumnType(int index) throws Exception;

    /**
     * One parameter of the file.
     *
     * @param index index of the item, from 0
     * @return its tag (Param) and value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskParameterValueClass GetParameter(int index) throws Exception;

    /**
     * One sequence of the file.
     *
     * @param index index of the item, from 0
     * @return the sequence
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskSequenceResultItem GetSequenceResultItem(int index) throws Exception;

    /**
     * Reads the file named by Name and DataPath, then fills the other fields.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void Read() throws Exception;

    /**
     * Reads the header of the file named by Name and DataPath, then fills the header fields.
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
